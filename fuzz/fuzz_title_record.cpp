// Kestrova.titles, read at the start after a kill or a crash, over arbitrary
// bytes: what it yields writes back, and the give-back writes nothing but the
// own titles of the lines it read, into windows that show a text of ours.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/text.h"
#include "engine/title_record.h"
#include "fakes/fake_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<kestrova::DecoratedWindow> read = kestrova::ParseRecord(text);

  kestrova::testing::FakeWindowSystem windows;
  for (const kestrova::DecoratedWindow& w : read) {
    if (w.Written.empty() || w.Written.size() > 8 || !kestrova::IsValidUtf8(w.OwnTitle)) __builtin_trap();
    for (const std::string& written : w.Written) {
      if (!kestrova::IsValidUtf8(written)) __builtin_trap();
    }
    // Each window shows the last text recorded for it.
    windows.Add(w.Handle, w.Written.back());
  }
  if (kestrova::ParseRecord(kestrova::RecordText(read)) != read) __builtin_trap();

  kestrova::RestoreRecordedTitles(windows, read);
  for (const auto& [handle, title] : windows.writes) {
    bool recorded = false;
    for (const kestrova::DecoratedWindow& w : read) {
      recorded = recorded || (w.Handle == handle && w.OwnTitle == title);
    }
    if (!recorded) __builtin_trap();
  }
  return 0;
}

// ExpandFormat over arbitrary system-information texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "format/format.h"
#include "fakes/fake_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  kestrova::testing::FakeSysInfoSources sources;
  bool cpuSampled = false;
  const std::string out = kestrova::ExpandFormat(text, cpuSampled, sources);
  // One composition takes at most one CPU sample, however many codes it holds.
  if (sources.cpuSamples > 1) std::abort();
  // Text without codes passes unchanged.
  if (text.find('%') == std::string_view::npos && out != text) std::abort();
  return 0;
}

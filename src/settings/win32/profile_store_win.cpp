#include "settings/win32/profile_store_win.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "platform/win32/text_win.h"

namespace kestrova {
namespace {

using win32::FromWide;
using win32::ToWide;
using win32::Widen;

constexpr DWORD kFirstBuffer = 256;
constexpr DWORD kLargestBuffer = 1u << 20;

// Names and values reach the wide calls from the ANSI code page and go back
// to it: they hold only characters of that code page, so the round trip
// keeps every byte, and the service writes the file in that code page
// (a new file too; only a file that starts with a Unicode mark is kept in Unicode).
std::wstring FromAnsi(const std::string& ansi) { return ToWide(CP_ACP, ansi); }
std::string ToAnsi(std::wstring_view wide) { return FromWide(CP_ACP, 0, wide); }

// The whole value, or nothing when the service answered with `probe` (the
// key may be absent). A full buffer means the value may have been cut, so the
// call is repeated with a larger one.
std::optional<std::wstring> ReadWhole(const std::wstring& path, const std::wstring& section,
                                      const std::wstring& key, const wchar_t* probe) {
  std::vector<wchar_t> buffer(kFirstBuffer);
  DWORD length = 0;
  for (;;) {
    const auto size = static_cast<DWORD>(buffer.size());
    length = GetPrivateProfileStringW(section.c_str(), key.c_str(), probe, buffer.data(), size, path.c_str());
    if (length + 1 < size || size >= kLargestBuffer) break;
    buffer.assign(static_cast<std::size_t>(size) * 2, L'\0');
  }
  std::wstring value(buffer.data(), length);
  if (value == probe) return std::nullopt;
  return value;
}

}  // namespace

std::string WinProfileStore::ReadString(const std::string& path, const std::string& section,
                                        const std::string& key, const std::string& def) {
  const std::wstring widePath = Widen(path);
  const std::wstring wideSection = FromAnsi(section);
  const std::wstring wideKey = FromAnsi(key);
  // The service trims and unquotes defaults, so absence is detected with two
  // probes instead: only an absent key answers both.
  if (auto value = ReadWhole(widePath, wideSection, wideKey, L"\x01")) return ToAnsi(*value);
  if (auto value = ReadWhole(widePath, wideSection, wideKey, L"\x02")) return ToAnsi(*value);
  return def;
}

int WinProfileStore::ReadInt(const std::string& path, const std::string& section, const std::string& key,
                             int def) {
  return static_cast<int>(
      GetPrivateProfileIntW(FromAnsi(section).c_str(), FromAnsi(key).c_str(), def, Widen(path).c_str()));
}

bool WinProfileStore::WriteString(const std::string& path, const std::string& section, const std::string& key,
                                  const std::string& value) {
  return WritePrivateProfileStringW(FromAnsi(section).c_str(), FromAnsi(key).c_str(), FromAnsi(value).c_str(),
                                    Widen(path).c_str()) != FALSE;
}

}  // namespace kestrova

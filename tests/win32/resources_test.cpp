// The resources linked into Kestrova.exe, read back the way Windows reads
// them. Kestrova.exe sits beside this test program in the build folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <set>
#include <string>

#include "resources/resource_ids.h"
#include "resources/strings.h"
#include "resources/version.h"

namespace {

std::wstring KestrovaPath() {
  wchar_t self[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"Kestrova.exe";
}

std::string Utf8(const wchar_t* text, int length) {
  if (length <= 0) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), n, nullptr, nullptr);
  return out;
}

class KestrovaResources : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = LoadLibraryExW(KestrovaPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  static void TearDownTestSuite() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(module_, nullptr) << "cannot load Kestrova.exe next to the test program"; }

  static HMODULE module_;
};
HMODULE KestrovaResources::module_ = nullptr;

// The resource script and the core build their tables from the same list; this
// catches what the resource compiler does differently (escapes, code page).
TEST_F(KestrovaResources, StringTableMatchesTheCoreTable) {
  int present = 0;
  for (int id = IDS_KESTROVA_FIRST; id <= IDS_KESTROVA_LAST; ++id) {
    const wchar_t* text = nullptr;
    int length = LoadStringW(module_, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    std::string fromExe = Utf8(text, length);
    EXPECT_EQ(fromExe, kestrova::ResString(id)) << "string " << id;
    if (!fromExe.empty()) ++present;
  }
  EXPECT_GT(present, 0);
}

TEST_F(KestrovaResources, VersionInfoMatchesVersionHeader) {
  std::wstring path = KestrovaPath();
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize));
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), KESTROVA_VERSION_MAJOR);
  EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), KESTROVA_VERSION_MINOR);
  EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), KESTROVA_VERSION_REVISION);

  struct {
    const wchar_t* key;
    const char* expected;
  } const strings[] = {
      {L"\\StringFileInfo\\041104B0\\FileVersion", KESTROVA_VERSION_STRING},
      {L"\\StringFileInfo\\041104B0\\ProductVersion", KESTROVA_VERSION_STRING},
      {L"\\StringFileInfo\\041104B0\\ProductName", "Kestrova"},
      {L"\\StringFileInfo\\041104B0\\OriginalFilename", "Kestrova.exe"},
  };
  for (const auto& s : strings) {
    wchar_t* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), s.key, reinterpret_cast<void**>(&value), &length)) << Utf8(s.key, -1);
    EXPECT_EQ(Utf8(value, static_cast<int>(wcsnlen(value, length))), s.expected);
  }
}

BOOL CALLBACK FirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) {
  *reinterpret_cast<ULONG_PTR*>(out) = reinterpret_cast<ULONG_PTR>(name);
  return FALSE;
}

// ExtractIconEx(index 0) takes the first icon group in resource order: it has
// to be the program icon, in all three sizes.
TEST_F(KestrovaResources, ProgramIconIsTheFirstIconGroup) {
  ULONG_PTR first = 0;
  EnumResourceNamesW(module_, RT_GROUP_ICON, FirstName, reinterpret_cast<LONG_PTR>(&first));
  EXPECT_EQ(first, static_cast<ULONG_PTR>(IDI_KESTROVA));

  HRSRC res = FindResourceW(module_, MAKEINTRESOURCEW(IDI_KESTROVA), RT_GROUP_ICON);
  ASSERT_NE(res, nullptr);
  const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(module_, res)));
  ASSERT_NE(dir, nullptr);
  WORD count = 0;
  std::memcpy(&count, dir + 4, sizeof count);
  std::set<int> widths;
  for (WORD i = 0; i < count; ++i) widths.insert(dir[6 + 14 * i] == 0 ? 256 : dir[6 + 14 * i]);
  EXPECT_EQ(widths, (std::set<int>{16, 32, 48}));

  HICON large = nullptr, small = nullptr;
  EXPECT_GT(ExtractIconExW(KestrovaPath().c_str(), 0, &large, &small, 1), 0u);
  EXPECT_NE(large, nullptr);
  EXPECT_NE(small, nullptr);
  if (large) DestroyIcon(large);
  if (small) DestroyIcon(small);
}

TEST_F(KestrovaResources, ManifestAsksForCommonControls6AndPerMonitorDpi) {
  HRSRC res = FindResourceW(module_, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  ASSERT_NE(res, nullptr);
  const char* data = static_cast<const char*>(LockResource(LoadResource(module_, res)));
  ASSERT_NE(data, nullptr);
  std::string manifest(data, SizeofResource(module_, res));
  for (const char* needle : {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "PerMonitorV2",
                             "true/pm", "level=\"asInvoker\"", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
    EXPECT_NE(manifest.find(needle), std::string::npos) << needle;
  }
}

}  // namespace

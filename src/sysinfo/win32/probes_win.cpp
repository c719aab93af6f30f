#include "sysinfo/win32/probes_win.h"

#include <windows.h>
// The socket types before the IP helper: its interface table with the
// hardware flag is declared only over them.
#include <winsock2.h>
#include <ws2ipdef.h>
// The IP helper and shell headers build on the types above.
#include <iphlpapi.h>
#include <netioapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <limits>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/system_library_win.h"
#include "platform/win32/text_win.h"

namespace kestrova {
namespace {

using win32::Widen;

// The text of a NUL-terminated buffer.
std::string Narrow(const wchar_t* wide) { return win32::Narrow(wide); }

// The table with the hardware flag exists from Vista on; older systems (and
// older Wine) have only the plain table, so the newer calls are looked up.
using GetIfTable2Fn = DWORD(WINAPI*)(PMIB_IF_TABLE2*);
using FreeMibTableFn = VOID(WINAPI*)(PVOID);

struct IfTable2Entries {
  GetIfTable2Fn getTable = nullptr;
  FreeMibTableFn freeTable = nullptr;
};


const IfTable2Entries& IfTable2() {
  static const IfTable2Entries entries = [] {
    HMODULE iphlpapi = GetModuleHandleW(L"iphlpapi.dll");
    IfTable2Entries found{win32::LookUp<GetIfTable2Fn>(iphlpapi, "GetIfTable2"),
                          win32::LookUp<FreeMibTableFn>(iphlpapi, "FreeMibTable")};
    if (!found.getTable || !found.freeTable) found = {};
    return found;
  }();
  return entries;
}

std::int64_t FileTimeValue(const FILETIME& time) {
  return static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
}

// At most 255 bytes, as the plain table's description.
std::string DescriptionBytes(std::string text) {
  if (text.size() > 255) text.resize(255);
  return text;
}

bool ReadIfTable2(std::vector<InterfaceRow>& rows) {
  const IfTable2Entries& entries = IfTable2();
  if (!entries.getTable) return false;
  MIB_IF_TABLE2* table = nullptr;
  if (entries.getTable(&table) != NO_ERROR || !table) return false;
  rows.reserve(table->NumEntries);
  for (ULONG i = 0; i < table->NumEntries; ++i) {
    const MIB_IF_ROW2& row = table->Table[i];
    const auto length = static_cast<std::size_t>(
        std::find(row.Description, std::end(row.Description), L'\0') - row.Description);
    // Counters in the width the plain table reports: the wrap tracking stays the same on every system.
    rows.push_back({row.Type, static_cast<std::uint32_t>(row.InOctets),
                    static_cast<std::uint32_t>(row.OutOctets),
                    DescriptionBytes(win32::FromWide(CP_ACP, 0, std::wstring_view(row.Description, length))),
                    row.InterfaceAndOperStatusFlags.HardwareInterface != 0});
  }
  entries.freeTable(table);
  return true;
}

bool ReadIfTable(std::vector<InterfaceRow>& rows) {
  ULONG size = 0;
  std::vector<std::uint64_t> buffer;  // 8-byte aligned storage for the table
  DWORD status = GetIfTable(nullptr, &size, TRUE);
  // The table may grow between asking for its size and reading it.
  for (int attempt = 0; attempt < 3 && status == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
    buffer.assign((size + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t), 0);
    status = GetIfTable(reinterpret_cast<MIB_IFTABLE*>(buffer.data()), &size, TRUE);
  }
  if (status != NO_ERROR || buffer.empty()) return false;

  const auto* table = reinterpret_cast<const MIB_IFTABLE*>(buffer.data());
  const std::size_t capacity =
      (buffer.size() * sizeof(std::uint64_t) - offsetof(MIB_IFTABLE, table)) / sizeof(MIB_IFROW);
  const std::size_t count = std::min<std::size_t>(table->dwNumEntries, capacity);
  rows.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const MIB_IFROW& row = table->table[i];
    const auto* descr = reinterpret_cast<const char*>(row.bDescr);
    const auto length = static_cast<std::size_t>(std::find(descr, descr + 255, '\0') - descr);
    rows.push_back({row.dwType, row.dwInOctets, row.dwOutOctets, std::string(descr, length), false});
  }
  return true;
}

// Thread timers carry no window, so their callback finds its target by the
// timer's id. Only the UI thread starts, stops and receives these timers.
std::map<UINT_PTR, std::function<void()>>& SecondTimers() {
  static std::map<UINT_PTR, std::function<void()>> timers;
  return timers;
}

void CALLBACK OnSecondTimer(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = SecondTimers().find(id);
  if (it == SecondTimers().end()) return;
  // A copy: the callback may stop its own timer and erase the entry.
  const std::function<void()> callback = it->second;
  callback();
}

class Win32Probes final : public SystemProbes {
 public:
  int PlatformVersionId() override {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
#ifdef _MSC_VER
#pragma warning(suppress : 4996)
#endif
    if (!GetVersionExW(&info)) return 0;
    return static_cast<int>(info.dwPlatformId);
  }

  MemoryStatus ReadMemoryStatus() override {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status)) return {};
    MemoryStatus result;
    result.load = status.dwMemoryLoad;
    result.totalPhys = status.ullTotalPhys;
    result.availPhys = status.ullAvailPhys;
    result.totalPageFile = status.ullTotalPageFile;
    result.availPageFile = status.ullAvailPageFile;
    result.totalVirtual = status.ullTotalVirtual;
    result.availVirtual = status.ullAvailVirtual;
    return result;
  }

  bool ReadSystemTimes(ProcessorTimes& out) override {
    FILETIME idle{};
    FILETIME kernel{};
    FILETIME user{};
    if (!GetSystemTimes(&idle, &kernel, &user)) return false;
    out = {FileTimeValue(idle), FileTimeValue(kernel), FileTimeValue(user)};
    return true;
  }

  std::uint32_t ReadPerfStatValue(std::string_view key) override {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_DYN_DATA, Widen(key).c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
      return 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    // A failed query leaves the 0 in place, and that 0 is the reading.
    RegQueryValueExW(handle, L"Kernel\\CPUUsage", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(handle);
    return value;
  }

  PowerStatus ReadPowerStatus() override {
    SYSTEM_POWER_STATUS status{};
    if (!GetSystemPowerStatus(&status)) return {};
    return {status.BatteryFlag, status.BatteryLifePercent};
  }

  std::uint64_t TickCount64() override { return GetTickCount64(); }

  CursorPosition ReadCursorPosition() override {
    POINT point{};
    if (!GetCursorPos(&point)) return {};
    return {point.x, point.y};
  }

  bool ReadInterfaceTable(std::vector<InterfaceRow>& rows) override {
    rows.clear();
    if (ReadIfTable2(rows)) return true;
    rows.clear();
    return ReadIfTable(rows);
  }

  DiskSpace ReadDiskSpace(std::string_view rootPath) override {
    ULARGE_INTEGER available{};
    ULARGE_INTEGER total{};
    ULARGE_INTEGER totalFree{};
    // An empty drive must fail quietly rather than ask the user for a disk.
    DWORD oldMode = 0;
    const BOOL modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS, &oldMode);
    const BOOL ok = GetDiskFreeSpaceExW(Widen(rootPath).c_str(), &available, &total, &totalFree);
    if (modeSet) SetThreadErrorMode(oldMode, nullptr);
    if (!ok) return {};
    return {totalFree.QuadPart, total.QuadPart};
  }

  std::string FormatByteSize(std::uint64_t bytes) override {
    // The wide formatter takes a signed 64-bit count; room for any of its texts.
    const auto value =
        static_cast<LONGLONG>(std::min<std::uint64_t>(bytes, std::numeric_limits<LONGLONG>::max()));
    wchar_t text[64] = {};
    if (!StrFormatByteSizeW(value, text, static_cast<UINT>(std::size(text)))) return {};
    return Narrow(text);
  }

  TimerId StartSecondTimer(std::function<void()> onTick) override {
    const UINT_PTR id = SetTimer(nullptr, 0, 1000, OnSecondTimer);
    if (id == 0) return 0;
    SecondTimers()[id] = std::move(onTick);
    return id;
  }

  void StopSecondTimer(TimerId id) override {
    if (id == 0) return;
    KillTimer(nullptr, id);
    SecondTimers().erase(id);
  }
};

}  // namespace

std::unique_ptr<SystemProbes> CreateWin32Probes() { return std::make_unique<Win32Probes>(); }

}  // namespace kestrova

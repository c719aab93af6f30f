#include <gtest/gtest.h>

#include <string>

#include "format/format.h"
#include "fakes/fake_probes.h"
#include "sysinfo/system_info.h"

namespace kestrova {
namespace {

using testing::FakeProbes;

// The sources as the title sees them, through the code expansion.
class SysInfoExpand : public ::testing::Test {
 protected:
  void SetUp() override {
    probes.memory.load = 5;
    probes.AddProcessorTime(0, 1000, 1000);
    probes.interfaces = {{6, 0, 0, "eth"}};
    probes.disks["C:\\"] = {250ULL << 30, 1000ULL << 30};
    probes.cursor = {640, 480};
    info.Start();
  }
  std::string Compose(const std::string& text) {
    bool cpuSampled = false;  // fresh for every composition
    return ExpandFormat(text, cpuSampled, info);
  }
  FakeProbes probes;
  SystemInfo info{probes};
};

TEST_F(SysInfoExpand, OneCpuSampleShownTwice) {
  probes.AddProcessorTime(0, 930, 70);
  EXPECT_EQ(Compose("%8 %08"), "7% 007%");
  probes.AddProcessorTime(0, 0, 1000);
  EXPECT_EQ(Compose("%08/%8"), "100%/100%");
}

TEST_F(SysInfoExpand, TypicalPiece) {
  probes.AddProcessorTime(0, 880, 120);
  probes.interfaces[0].inOctets = 2048;
  probes.interfaces[0].outOctets = 512;
  probes.FireTimer();
  EXPECT_EQ(Compose("CPU %8 MEM %07 ↓%H ↑%G C:%IC"), "CPU 12% MEM 005% ↓2.0KB/s ↑0.5KB/s C:250GB");
  EXPECT_EQ(Compose("%B| %Kc %Lc %Iq"), "X:640 Y:480 | 25% 75% 0バイト");
}

}  // namespace
}  // namespace kestrova

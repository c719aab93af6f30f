#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fakes/fake_probes.h"
#include "sysinfo/system_info.h"

namespace kestrova {
namespace {

using testing::FakeProbes;

constexpr std::uint32_t kEthernet = 6;
constexpr std::uint32_t kPpp = 23;
constexpr std::uint32_t kLoopback = 24;
constexpr std::uint32_t kWireless = 71;
constexpr std::uint32_t kTunnel = 131;

class SysInfoNetwork : public ::testing::Test {
 protected:
  SysInfoNetwork() { probes.plainByteSizes = true; }
  InterfaceRow& Row(std::size_t i) { return probes.interfaces.at(i); }
  FakeProbes probes;
  SystemInfo info{probes};
};

TEST_F(SysInfoNetwork, FirstSecondShowsTheSumsAsRates) {
  probes.interfaces = {{kEthernet, 5000, 3000, "eth"}};
  info.Start();
  EXPECT_EQ(info.NetworkText(3), "40.0kbps");  // 5000 bytes received
  EXPECT_EQ(info.NetworkText(5), "4.88KB/s");
  EXPECT_EQ(info.NetworkText(2), "24.0kbps");  // 3000 bytes sent
  EXPECT_EQ(info.NetworkText(4), "2.93KB/s");

  Row(0).inOctets += 12345;
  probes.FireTimer();
  EXPECT_EQ(info.NetworkText(3), "98.76kbps");
  EXPECT_EQ(info.NetworkText(5), "12.06KB/s");
  EXPECT_EQ(info.NetworkText(2), "0.0kbps");
  EXPECT_EQ(info.NetworkText(4), "0.0KB/s");
}

TEST_F(SysInfoNetwork, CumulativeTotalsWithoutSpaces) {
  probes.interfaces = {{kEthernet, 1000, 2000, "eth"}, {kPpp, 10, 20, "dial-up"}};
  info.Start();
  EXPECT_EQ(info.NetworkText(0), "2020B");
  EXPECT_EQ(info.NetworkText(1), "1010B");
  probes.plainByteSizes = false;
  EXPECT_EQ(info.NetworkText(0), "1.97KB");
  EXPECT_EQ(info.NetworkText(6), "");
  EXPECT_EQ(info.NetworkText(-1), "");
}

TEST_F(SysInfoNetwork, EthernetPppAndWirelessAreCounted) {
  probes.interfaces = {{kLoopback, 70000, 70000, "loopback"},
                       {kEthernet, 100, 200, "eth"},
                       {kWireless, 1000, 2000, "wifi"},
                       {kTunnel, 90000, 90000, "teredo"},
                       {kPpp, 1, 2, "ppp"}};
  info.Start();
  EXPECT_EQ(info.NetworkText(0), "2202B");
  EXPECT_EQ(info.NetworkText(1), "1101B");
  EXPECT_EQ(info.NetRateIn(), 1101);
  EXPECT_EQ(info.NetRateOut(), 2202);
  Row(0).inOctets += 5000;
  Row(3).outOctets += 5000;
  Row(2).inOctets += 300;
  probes.FireTimer();
  EXPECT_EQ(info.NetRateIn(), 300);
  EXPECT_EQ(info.NetRateOut(), 0);
}

// A current Windows table: the adapter's own row and the rows of the filter
// layers bound to it carry the same counters; only the first is hardware.
// Beside it a Wi-Fi adapter with one filter layer and a virtual switch port.
TEST_F(SysInfoNetwork, EachHardwareAdapterIsCountedOnce) {
  probes.interfaces = {
      {kEthernet, 1000, 500, "Intel(R) Ethernet", true},
      {kEthernet, 1000, 500, "Intel(R) Ethernet-WFP Native MAC Layer LightWeight Filter-0000"},
      {kEthernet, 1000, 500, "Intel(R) Ethernet-QoS Packet Scheduler-0000"},
      {kWireless, 40, 20, "Wi-Fi 6 AX201", true},
      {kWireless, 40, 20, "Wi-Fi 6 AX201-Native WiFi Filter Driver-0000"},
      {kEthernet, 7000, 7000, "Hyper-V Virtual Ethernet Adapter"},
      {kLoopback, 9, 9, "Loopback Pseudo-Interface 1", true}};
  info.Start();
  const std::vector<bool> counted = {true, false, false, true, false, false, false};
  EXPECT_EQ(info.CountedRows(), counted);
  EXPECT_EQ(info.NetworkText(1), "1040B");
  EXPECT_EQ(info.NetworkText(0), "520B");
  EXPECT_EQ(info.NetRateIn(), 1040);  // the first second shows the sums
  EXPECT_EQ(info.NetRateOut(), 520);
  for (std::size_t i : {0u, 1u, 2u}) Row(i).inOctets += 12345;
  for (std::size_t i : {3u, 4u}) Row(i).outOctets += 100;
  Row(5).inOctets += 50000;
  probes.FireTimer();
  EXPECT_EQ(info.NetworkText(3), "98.76kbps");
  EXPECT_EQ(info.NetRateOut(), 100);
}

// Tables without the hardware mark (older systems, Wine): rows repeating an
// earlier row's counters are taken for its layers.
TEST_F(SysInfoNetwork, UnmarkedTableCountsEachCounterSetOnce) {
  probes.interfaces = {{kEthernet, 1000, 500, "eth"},
                       {kEthernet, 1000, 500, "eth-WFP Native MAC Layer LightWeight Filter-0000"},
                       {kEthernet, 1000, 500, "eth-QoS Packet Scheduler-0000"},
                       {kWireless, 1000, 501, "wifi"},
                       {kLoopback, 1000, 500, "lo"}};
  info.Start();
  const std::vector<bool> counted = {true, false, false, true, false};
  EXPECT_EQ(info.CountedRows(), counted);
  EXPECT_EQ(info.NetworkText(1), "2000B");
  EXPECT_EQ(info.NetRateOut(), 1001);
  for (std::size_t i : {0u, 1u, 2u}) Row(i).inOctets += 700;
  probes.FireTimer();
  EXPECT_EQ(info.NetRateIn(), 700);
}

TEST_F(SysInfoNetwork, SentCounterWrapIsCountedOnce) {
  probes.interfaces = {{kEthernet, 0, 4294000000u, "eth"}};
  info.Start();
  EXPECT_EQ(info.NetworkText(0), "4294000000B");
  Row(0).outOctets = 1000;
  probes.FireTimer();
  ASSERT_EQ(info.InterfaceHistory().size(), 1u);
  EXPECT_EQ(info.InterfaceHistory()[0].outWraps, 1);
  EXPECT_EQ(info.InterfaceHistory()[0].inWraps, 0);
  // Grows by 967,296 + 1,000 instead of falling.
  EXPECT_EQ(info.NetworkText(0), std::to_string(4294000000ULL + 967296 + 1000) + "B");
  // Staying in the lower half adds nothing more.
  Row(0).outOctets = 2000;
  EXPECT_EQ(info.NetworkText(0), std::to_string(4294967296ULL + 2000) + "B");
}

// The rates are the raw counters' change: a wrap shows once as the plain
// difference, the wrap count stays out of them.
TEST_F(SysInfoNetwork, RatesLeaveTheWrapCountsOut) {
  probes.interfaces = {{kEthernet, 0xFFFFFF00u, 0xFFFFFFF0u, "eth", true},
                       {kEthernet, 0xFFFFFF00u, 0xFFFFFFF0u, "eth-QoS Packet Scheduler-0000"}};
  info.Start();
  for (std::size_t i : {0u, 1u}) Row(i) = {kEthernet, 0x100u, 0x10u, Row(i).description, i == 0};
  probes.FireTimer();
  ASSERT_EQ(info.InterfaceHistory()[0].inWraps, 1);
  EXPECT_EQ(info.NetworkText(1), std::to_string(4294967296ULL + 0x100) + "B");
  EXPECT_EQ(info.NetRateIn(), 0x100 - 0xFFFFFF00LL);
  EXPECT_EQ(info.NetRateOut(), 0x10 - 0xFFFFFFF0LL);
  Row(0).inOctets += 2048;
  probes.FireTimer();
  EXPECT_EQ(info.NetRateIn(), 2048);
  EXPECT_EQ(info.NetRateOut(), 0);
}

TEST_F(SysInfoNetwork, ReceivedCounterWrapsSeveralTimes) {
  probes.interfaces = {{kEthernet, 0, 0, "eth"}};
  info.Start();
  for (int lap = 1; lap <= 3; ++lap) {
    Row(0).inOctets = 0xF0000000u;
    probes.FireTimer();
    Row(0).inOctets = 0x10u;
    probes.FireTimer();
    EXPECT_EQ(info.InterfaceHistory()[0].inWraps, lap);
  }
  EXPECT_EQ(info.NetworkText(1), std::to_string(3 * 4294967296ULL + 0x10) + "B");
}

TEST_F(SysInfoNetwork, WrapsFollowTheDescriptionNotThePosition) {
  probes.interfaces = {{kEthernet, 0x90000000u, 0, "eth A"}, {kEthernet, 0x10u, 0, "eth B"}};
  info.Start();
  // A new interface appears in front; A wraps meanwhile.
  probes.interfaces = {{kPpp, 0, 0, "vpn"}, {kEthernet, 0x20u, 0, "eth A"}, {kEthernet, 0x30u, 0, "eth B"}};
  info.RefreshInterfaceTable();
  const auto& history = info.InterfaceHistory();
  ASSERT_EQ(history.size(), 3u);
  EXPECT_EQ(history[0].inWraps, 0);
  EXPECT_EQ(history[1].inWraps, 1);
  EXPECT_EQ(history[2].inWraps, 0);
}

TEST_F(SysInfoNetwork, InterfaceMissingForOneRefreshStartsAgain) {
  probes.interfaces = {{kEthernet, 0x90000000u, 0, "eth"}};
  info.Start();
  Row(0).inOctets = 1;
  info.RefreshInterfaceTable();
  EXPECT_EQ(info.InterfaceHistory()[0].inWraps, 1);
  const auto saved = probes.interfaces;
  probes.interfaces.clear();
  info.RefreshInterfaceTable();
  EXPECT_TRUE(info.InterfaceHistory().empty());
  probes.interfaces = saved;
  info.RefreshInterfaceTable();
  EXPECT_EQ(info.InterfaceHistory()[0].inWraps, 0);
}

TEST_F(SysInfoNetwork, SameDescriptionTwiceTheLastOldRecordDecides) {
  probes.interfaces = {{kEthernet, 0x90000000u, 0, "WAN"}, {kEthernet, 0x10u, 0, "WAN"}};
  info.Start();
  probes.interfaces = {{kEthernet, 0x20u, 0, "WAN"}, {kEthernet, 0x20u, 0, "WAN"}};
  info.RefreshInterfaceTable();
  EXPECT_EQ(info.InterfaceHistory()[0].inWraps, 0);
  EXPECT_EQ(info.InterfaceHistory()[1].inWraps, 0);
}

TEST_F(SysInfoNetwork, DescriptionsCompareOnTheirFirst255Bytes) {
  const std::string common(255, 'n');
  probes.interfaces = {{kEthernet, 0x90000000u, 0, common + "1"}};
  info.Start();
  probes.interfaces = {{kEthernet, 0x5u, 0, common + "2"}};
  info.RefreshInterfaceTable();
  EXPECT_EQ(info.InterfaceHistory()[0].description.size(), 255u);
  EXPECT_EQ(info.InterfaceHistory()[0].inWraps, 1);
}

TEST_F(SysInfoNetwork, UnreadableTableReadsAsNoInterfaces) {
  probes.interfaces = {{kEthernet, 700, 300, "eth"}};
  info.Start();
  probes.interfaceTableFails = true;
  probes.FireTimer();
  EXPECT_TRUE(info.InterfaceRows().empty());
  EXPECT_EQ(info.NetRateIn(), -700);  // the difference against the previous sums
  EXPECT_EQ(info.NetworkText(1), "0B");
  EXPECT_EQ(info.NetworkText(3), "-5.6kbps");
}

TEST_F(SysInfoNetwork, SamplerLifecycle) {
  probes.interfaces = {{kEthernet, 1, 1, "eth"}};
  info.Start();
  EXPECT_TRUE(info.NetworkSamplingRunning());
  EXPECT_EQ(probes.timersStarted, 1);
  info.Start();  // a second start replaces the timer rather than leaking it
  EXPECT_EQ(probes.timersStarted, 2);
  EXPECT_EQ(probes.timersStopped, 1);
  info.Stop();
  EXPECT_FALSE(info.NetworkSamplingRunning());
  EXPECT_EQ(probes.timersStopped, 2);
  EXPECT_FALSE(probes.timerCallback);
  EXPECT_TRUE(info.InterfaceRows().empty());
  EXPECT_TRUE(info.InterfaceHistory().empty());
}

TEST_F(SysInfoNetwork, CumulativeTextsReadAfreshByDefault) {
  probes.interfaces = {{kEthernet, 1, 1, "eth"}};
  info.Start();
  const int reads = probes.interfaceTableReads;
  info.NetworkText(0);
  info.NetworkText(1);
  EXPECT_EQ(probes.interfaceTableReads, reads + 2);
}

TEST_F(SysInfoNetwork, ReuseWindowSharesTheSamplersTable) {
  info.SetReadingReuse(1000);
  probes.tickCount = 50000;
  probes.interfaces = {{kEthernet, 100, 200, "eth"}};
  info.Start();
  const int reads = probes.interfaceTableReads;
  Row(0).outOctets = 300;
  probes.tickCount += 999;
  EXPECT_EQ(info.NetworkText(0), "200B");  // the start-up sample's reading
  EXPECT_EQ(info.NetworkText(1), "100B");
  EXPECT_EQ(probes.interfaceTableReads, reads);
  probes.FireTimer();  // the sampler's refresh starts a new window
  probes.tickCount += 999;
  Row(0).outOctets = 400;
  EXPECT_EQ(info.NetworkText(0), "300B");
  probes.tickCount += 1;
  EXPECT_EQ(info.NetworkText(0), "400B");
  EXPECT_EQ(probes.interfaceTableReads, reads + 2);
  info.Stop();
  info.NetworkText(0);  // nothing left to reuse after a stop
  EXPECT_EQ(probes.interfaceTableReads, reads + 3);
}

TEST(SysInfoNetworkTimer, DestroyedSourcesStopTheirTimer) {
  FakeProbes probes;
  {
    SystemInfo info(probes);
    info.Start();
    EXPECT_TRUE(probes.timerCallback);
  }
  EXPECT_FALSE(probes.timerCallback);
}

}  // namespace
}  // namespace kestrova

namespace kestrova {
namespace {

TEST(SysInfoLazyNetwork, SamplerStartsWithTheFirstNetworkCodeAndKeepsTheFirstSecondRule) {
  FakeProbes probes;
  probes.plainByteSizes = true;
  probes.interfaces = {{6, 5000, 3000, "eth"}};
  SystemInfo info{probes};
  info.SetLazyNetworkSampling(true);
  info.Start();
  bool cpuSampled = false;
  info.MemoryText(1, false);
  info.CpuUsageText(cpuSampled, false);
  EXPECT_FALSE(info.NetworkSamplingRunning()) << "no network code asked for yet";
  EXPECT_EQ(probes.timersStarted, 0);

  probes.interfaces[0].inOctets = 6000;
  EXPECT_EQ(info.NetworkText(5), "5.86KB/s") << "the first second shows the sums";
  EXPECT_TRUE(info.NetworkSamplingRunning());
  probes.interfaces[0].inOctets += 1024;
  probes.FireTimer();
  EXPECT_EQ(info.NetworkText(5), "1.0KB/s");
  EXPECT_EQ(probes.timersStarted, 1) << "started once";

  info.Stop();
  EXPECT_FALSE(info.NetworkSamplingRunning());
  info.NetworkText(5);
  EXPECT_FALSE(info.NetworkSamplingRunning()) << "nothing starts after the end";
}

}  // namespace
}  // namespace kestrova

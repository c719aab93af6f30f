#include "shell/hotkeys.h"

#include <gtest/gtest.h>

#include "shell/command_line.h"

namespace kestrova {
namespace {

TEST(HotkeyText, ReadsAndPrintsCombinations) {
  const struct {
    const char* text;
    unsigned modifiers;
    int key;
    const char* printed;
  } cases[] = {
      {"Ctrl+Alt+T", kModCtrl | kModAlt, 'T', "Ctrl+Alt+T"},
      {"Alt+Ctrl+T", kModCtrl | kModAlt, 'T', "Ctrl+Alt+T"},
      {"ctrl + alt + t", kModCtrl | kModAlt, 'T', "Ctrl+Alt+T"},
      {"Ctrl+Shift+F12", kModCtrl | kModShift, 0x7B, "Ctrl+Shift+F12"},
      {"Shift+Ctrl+F12", kModCtrl | kModShift, 0x7B, "Ctrl+Shift+F12"},
      {"Win+Shift+Alt+Control+F1", kModCtrl | kModAlt | kModShift | kModWin, 0x70, "Ctrl+Alt+Shift+Win+F1"},
      {"Alt+F24", kModAlt, 0x87, "Alt+F24"},
      {"F9", 0, 0x78, "F9"},
      {"Ctrl+0", kModCtrl, '0', "Ctrl+0"},
      {"Ctrl+Alt+9", kModCtrl | kModAlt, '9', "Ctrl+Alt+9"},
      {"Shift+a", kModShift, 'A', "Shift+A"},
      {"Ctrl+Alt+Z", kModCtrl | kModAlt, 'Z', "Ctrl+Alt+Z"},
      {"Ctrl+Space", kModCtrl, 0x20, "Ctrl+Space"},
      {"Ctrl+pagedown", kModCtrl, 0x22, "Ctrl+PageDown"},
      {"Alt+Num5", kModAlt, 0x65, "Alt+Num5"},
  };
  for (const auto& c : cases) {
    const auto hotkey = ParseHotkey(c.text);
    ASSERT_TRUE(hotkey.has_value()) << c.text;
    EXPECT_EQ(hotkey->modifiers, c.modifiers) << c.text;
    EXPECT_EQ(hotkey->key, c.key) << c.text;
    EXPECT_EQ(HotkeyText(*hotkey), c.printed) << c.text;
    EXPECT_EQ(ParseHotkey(c.printed), hotkey) << "printed text reads back: " << c.text;
  }
}

TEST(HotkeyText, EveryModifierOrderReadsAlike) {
  const char* names[] = {"Ctrl", "Alt", "Shift", "Win"};
  int order[] = {0, 1, 2, 3};
  do {
    std::string text;
    for (int i : order) text.append(names[i]).append("+");
    EXPECT_EQ(HotkeyText(ParseHotkey(text + "K").value()), "Ctrl+Alt+Shift+Win+K") << text;
  } while (std::next_permutation(std::begin(order), std::end(order)));
}

TEST(HotkeyText, EveryFunctionKeyDigitAndLetterRoundTrips) {
  for (int n = 1; n <= 24; ++n) {
    const std::string text = "Ctrl+F" + std::to_string(n);
    ASSERT_TRUE(ParseHotkey(text)) << text;
    EXPECT_EQ(ParseHotkey(text)->key, 0x70 + n - 1) << text;
    EXPECT_EQ(HotkeyText(*ParseHotkey(text)), text);
  }
  for (char c = '0'; c <= '9'; ++c) EXPECT_EQ(HotkeyText(*ParseHotkey(std::string("Alt+") + c)), std::string("Alt+") + c);
  for (char c = 'A'; c <= 'Z'; ++c) EXPECT_EQ(ParseHotkey(std::string("Alt+") + c)->key, c);
}

TEST(HotkeyText, UnreadableTextsAreNone) {
  for (const char* bad : {"", " ", "Ctrl+", "+T", "Ctrl+Ctrl+T", "Ctrl+Alt", "Ctrl+Alt+TT", "Ctrl+F0", "Ctrl+F25",
                          "Ctrl+F01", "T+Ctrl", "Hyper+T", "Ctrl++T", "Ctrl+Alt+T+U", "Ctrl+é", "Ctrl+F1x"}) {
    EXPECT_FALSE(ParseHotkey(bad).has_value()) << "'" << bad << "'";
  }
  EXPECT_EQ(HotkeyText({kModCtrl, 0}), "") << "modifiers alone are no hotkey";
  EXPECT_EQ(HotkeyText({kModCtrl, 0xE7}), "") << "a key without a name";
}

TEST(HotkeyText, HotkeyFieldValuesConvertBothWays) {
  // HOTKEYF_SHIFT 1, HOTKEYF_CONTROL 2, HOTKEYF_ALT 4 in the high byte.
  EXPECT_EQ(ToHotkeyField(*ParseHotkey("Ctrl+Alt+T")), 'T' | (6 << 8));
  EXPECT_EQ(ToHotkeyField(*ParseHotkey("Shift+F12")), 0x7B | (1 << 8));
  EXPECT_EQ(HotkeyText(FromHotkeyField(0x7B | (3 << 8))), "Ctrl+Shift+F12");
  EXPECT_EQ(HotkeyText(FromHotkeyField('P' | (4 << 8))), "Alt+P");
  EXPECT_EQ(HotkeyText(FromHotkeyField(0)), "");
}

TEST(CommandLine, EveryOptionInAnyCaseAndTheBadOnes) {
  const struct {
    const char* arg;
    RemoteCommand command;
  } options[] = {{"/pause", RemoteCommand::kPause},        {"/resume", RemoteCommand::kResume},
                 {"/toggle", RemoteCommand::kToggle},      {"/timecopy", RemoteCommand::kTimeCopy},
                 {"/sysinfocopy", RemoteCommand::kSysInfoCopy}, {"/timetype", RemoteCommand::kTimeType},
                 {"/setting", RemoteCommand::kSetting},    {"/exit", RemoteCommand::kExit},
                 {"/PAUSE", RemoteCommand::kPause},        {"-TimeCopy", RemoteCommand::kTimeCopy},
                 {"/Exit", RemoteCommand::kExit}};
  for (const auto& o : options) {
    const CommandLine line = ParseCommandLine({o.arg});
    EXPECT_EQ(line.kind, CommandLine::Kind::kCommand) << o.arg;
    EXPECT_EQ(line.command, o.command) << o.arg;
    EXPECT_EQ(RemoteCommandFromName(RemoteCommandName(o.command)), o.command) << o.arg;
  }
  EXPECT_EQ(ParseCommandLine({}).kind, CommandLine::Kind::kNone);
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"/stop"}, {"pause"}, {"/"}, {""}, {"/pause", "/resume"}, {"/pause", "/pause"}, {"/pausex"}}) {
    EXPECT_EQ(ParseCommandLine(bad).kind, CommandLine::Kind::kBad) << bad[0] << " (" << bad.size() << ")";
  }
  const std::string usage = CommandLineUsage();
  for (const auto& o : options) {
    EXPECT_NE(usage.find(std::string("/") + RemoteCommandName(o.command)), std::string::npos) << o.arg;
  }
}

}  // namespace
}  // namespace kestrova

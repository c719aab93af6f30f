#include "shell/command_line.h"

#include <cctype>

namespace kestrova {

namespace {

struct Option {
  RemoteCommand command;
  const char* name;
  const char* help;
};

constexpr Option kOptions[] = {
    {RemoteCommand::kPause, "pause", "時計の表示を一時停止します"},
    {RemoteCommand::kResume, "resume", "一時停止した時計の表示を再開します"},
    {RemoteCommand::kToggle, "toggle", "一時停止と再開を切り替えます"},
    {RemoteCommand::kTimeCopy, "timecopy", "現在時刻をクリップボードにコピーします"},
    {RemoteCommand::kSysInfoCopy, "sysinfocopy", "システム情報をクリップボードにコピーします"},
    {RemoteCommand::kTimeType, "timetype", "現在時刻をアクティブなウインドウに入力します"},
    {RemoteCommand::kSetting, "setting", "設定画面を開きます（起動していなければ起動します）"},
    {RemoteCommand::kExit, "exit", "常駐している Kestrova を終了します"},
};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  if (args.empty()) return line;
  line.kind = CommandLine::Kind::kBad;
  if (args.size() != 1) return line;
  const std::string& arg = args[0];
  if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) return line;
  if (const auto command = RemoteCommandFromName(Lower(std::string_view(arg).substr(1)))) {
    line.kind = CommandLine::Kind::kCommand;
    line.command = *command;
  }
  return line;
}

const char* RemoteCommandName(RemoteCommand command) {
  for (const Option& o : kOptions) {
    if (o.command == command) return o.name;
  }
  return "";
}

std::optional<RemoteCommand> RemoteCommandFromName(std::string_view name) {
  for (const Option& o : kOptions) {
    if (name == o.name) return o.command;
  }
  return std::nullopt;
}

std::string CommandLineUsage() {
  std::string text = "使い方: Kestrova.exe [オプション]（オプションは一つだけ指定できます）\r\n\r\n";
  for (const Option& o : kOptions) text.append("  /").append(o.name).append("\t").append(o.help).append("\r\n");
  text.append("\r\n終了コード: 0 = 実行しました、1 = Kestrova が起動していません、2 = オプションが正しくありません");
  return text;
}

}  // namespace kestrova

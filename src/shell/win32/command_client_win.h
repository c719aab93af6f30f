#pragma once
// Kestrova.exe started with an option: hands it to the running copy.
#include <string>
#include <vector>

namespace kestrova::win32 {

struct CommandLineRun {
  bool start = true;          // go on and start as usual
  bool openSettings = false;  // ... and open the settings window (/setting with no copy running)
  int exitCode = 0;           // when not started
};

// The arguments after the program's name, in UTF-8.
std::vector<std::string> CommandLineArguments();
// Forwards an option to the running copy and waits for its answer; a bad
// command line gets the usage, on the console when there is one.
CommandLineRun RunCommandLine(const std::vector<std::string>& args);

}  // namespace kestrova::win32

#pragma once
// The folder the program lives in, where Kestrova.ini, Kestrova.titles and
// Readme.txt are: that of the exe itself, not of a link it was started by.
#include <string>

namespace kestrova::win32 {

// The folder of the file `path` finally names, through symbolic links (winget
// puts one into its shared Links folder), without the \\?\ prefix; UTF-8, no
// separator at its end. The folder of `path` itself when it cannot be resolved.
std::string FinalFolderOf(const std::wstring& path);

// FinalFolderOf the running exe.
std::string ProgramFolder();

}  // namespace kestrova::win32

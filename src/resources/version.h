#ifndef KESTROVA_RESOURCES_VERSION_H
#define KESTROVA_RESOURCES_VERSION_H
// The program's version, in one place: VERSIONINFO, the "Ver." texts and the
// CMake project all take it from here. Plain #defines only, so the resource
// compiler can read this file too (hence no #pragma once).

#define KESTROVA_VERSION_MAJOR 1
#define KESTROVA_VERSION_MINOR 0
#define KESTROVA_VERSION_REVISION 0

#define KESTROVA_STRINGIZE2(x) #x
#define KESTROVA_STRINGIZE(x) KESTROVA_STRINGIZE2(x)

// "1.0.0"
#define KESTROVA_VERSION_STRING                                                      \
  KESTROVA_STRINGIZE(KESTROVA_VERSION_MAJOR) "." KESTROVA_STRINGIZE(KESTROVA_VERSION_MINOR) "." \
      KESTROVA_STRINGIZE(KESTROVA_VERSION_REVISION)

#endif  // KESTROVA_RESOURCES_VERSION_H

# Windows build: the Win32 layer, Kestrova.exe and the test programs that ctest runs under Wine.
if(NOT MSVC)
  # Resource scripts are UTF-8.
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
endif()
enable_language(RC)
file(GLOB_RECURSE KESTROVA_WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*/win32/*.cpp)
add_library(kestrova_win32 STATIC ${KESTROVA_WIN32_SOURCES} ${CMAKE_SOURCE_DIR}/src/platform/platform.cpp)
target_link_libraries(kestrova_win32 PUBLIC kestrova_core)
target_compile_definitions(kestrova_core PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
target_link_libraries(kestrova_win32 PUBLIC user32 gdi32 shell32 shlwapi comctl32 advapi32 iphlpapi ole32 version)

if(NOT MSVC)
  set(KESTROVA_STATIC_LINK -static -static-libgcc -static-libstdc++ -Wl,--gc-sections)
  # One section per function, so that --gc-sections drops what the program never calls.
  # Not -fdata-sections: for PE, GCC then puts zero-filled statics into .data$ sections
  # that take their full size in the file (the crash record alone is 40 KB).
  # Optimised for size: a tray clock spends its time in the system, not in its own code.
  target_compile_options(kestrova_core PRIVATE -ffunction-sections -Os)
  target_compile_options(kestrova_win32 PRIVATE -ffunction-sections -Os)
endif()

file(GLOB KESTROVA_APP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/*_win.cpp)
file(GLOB KESTROVA_RC CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/resources/*.rc)
add_executable(Kestrova WIN32 ${KESTROVA_APP_SOURCES} ${KESTROVA_RC})
target_link_libraries(Kestrova PRIVATE kestrova_win32)
target_link_options(Kestrova PRIVATE ${KESTROVA_STATIC_LINK} $<$<NOT:$<CXX_COMPILER_ID:MSVC>>:-municode>)
if(NOT MSVC)
  # The shipped program carries no symbols; the test programs keep theirs.
  # No link time in the header either: the same commit links to the same bytes,
  # so the release zip is reproducible.
  target_link_options(Kestrova PRIVATE -s -Wl,--no-insert-timestamp)
endif()
if(MSVC)
  # The resource script carries the manifest; the linker must not add a second one.
  target_link_options(Kestrova PRIVATE /MANIFEST:NO)
endif()

# GoogleTest: built from the distribution's sources in the cross build; on a
# Windows host an installed package (MSYS2, vcpkg) will do. Without either, the
# program still builds, only the Windows test program is left out.
set(KESTROVA_GTEST_SRC "/usr/src/googletest" CACHE PATH "GoogleTest sources")
set(KESTROVA_GTEST_LIBS "")
if(TARGET gtest)
  set(KESTROVA_GTEST_LIBS gtest gtest_main)
elseif(EXISTS ${KESTROVA_GTEST_SRC}/CMakeLists.txt)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${KESTROVA_GTEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(KESTROVA_GTEST_LIBS gtest gtest_main)
else()
  find_package(GTest QUIET)
  if(GTest_FOUND)
    set(KESTROVA_GTEST_LIBS GTest::gtest GTest::gtest_main)
  else()
    message(STATUS "GoogleTest not found: kestrova_wintests is not built")
  endif()
endif()

if(KESTROVA_GTEST_LIBS)
  file(GLOB KESTROVA_WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*.cpp
       ${CMAKE_SOURCE_DIR}/tests/contract/*.cpp)
  add_executable(kestrova_wintests ${KESTROVA_WIN_TESTS})
  target_include_directories(kestrova_wintests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(kestrova_wintests PRIVATE KESTROVA_REAL_PLATFORM=1)
  target_link_libraries(kestrova_wintests PRIVATE kestrova_win32 ${KESTROVA_GTEST_LIBS} version)
  # The resource tests read Kestrova.exe from beside the test program.
  add_dependencies(kestrova_wintests Kestrova)
  target_link_options(kestrova_wintests PRIVATE ${KESTROVA_STATIC_LINK})
  add_test(NAME win32 COMMAND kestrova_wintests)
  set_tests_properties(win32 PROPERTIES TIMEOUT 600)
  # The settings file again under the code page of an English Windows (1252).
  add_test(NAME win32-cp1252 COMMAND kestrova_wintests
           --gtest_filter=IniUnicode.*:ProfileContract.*:WinProfileStore.*:WinCodePage.*)
  set_tests_properties(win32-cp1252 PROPERTIES TIMEOUT 300 ENVIRONMENT LC_ALL=en_US.UTF-8)
endif()

# Small window program that the end-to-end tests drive as a target.
file(GLOB KESTROVA_TESTWIN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
if(KESTROVA_TESTWIN_SOURCES)
  add_executable(testwin WIN32 ${KESTROVA_TESTWIN_SOURCES})
  target_compile_definitions(testwin PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
  target_link_libraries(testwin PRIVATE user32 gdi32 shell32)
  target_link_options(testwin PRIVATE ${KESTROVA_STATIC_LINK} $<$<NOT:$<CXX_COMPILER_ID:MSVC>>:-municode>)
endif()

# Console tool with which the end-to-end tests list, read and bring windows to the front.
file(GLOB KESTROVA_WINCTL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/winctl/*.cpp)
if(KESTROVA_WINCTL_SOURCES)
  add_executable(winctl ${KESTROVA_WINCTL_SOURCES})
  target_compile_definitions(winctl PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
  target_link_libraries(winctl PRIVATE user32 shell32)
  target_link_options(winctl PRIVATE ${KESTROVA_STATIC_LINK} $<$<NOT:$<CXX_COMPILER_ID:MSVC>>:-municode>)
endif()

# The bare title-clock loop that the Wine tick-cost figures compare Kestrova with.
add_executable(bareloop WIN32 ${CMAKE_SOURCE_DIR}/bench/wine/bareloop.cpp)
target_compile_definitions(bareloop PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(bareloop PRIVATE user32)
target_link_options(bareloop PRIVATE ${KESTROVA_STATIC_LINK} $<$<NOT:$<CXX_COMPILER_ID:MSVC>>:-municode>)

# The user's guide goes beside Kestrova.exe, where the Help menu opens it.
add_custom_target(kestrova_readme ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/Readme.txt $<TARGET_FILE_DIR:Kestrova>/Readme.txt
  COMMENT "Readme.txt beside Kestrova.exe")
add_dependencies(kestrova_readme Kestrova)

# Release zip: Kestrova-<version>.zip with the program and its guide, and beside
# it its .sha256, the winget manifests (winget/) and the Scoop manifest (scoop/),
# all written from version.h and the zip by one script. Without python3 the zip alone.
set(KESTROVA_ZIP ${CMAKE_BINARY_DIR}/Kestrova-${PROJECT_VERSION}.zip)
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  set(KESTROVA_PACKAGE_COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/make-packages.py
      --source-dir ${CMAKE_SOURCE_DIR} --zip ${KESTROVA_ZIP} -- Kestrova.exe Readme.txt)
else()
  message(STATUS "python3 not found: the package target writes the zip only")
  set(KESTROVA_PACKAGE_COMMAND ${CMAKE_COMMAND} -E tar cf ${KESTROVA_ZIP} --format=zip -- Kestrova.exe Readme.txt)
endif()
add_custom_target(package
  COMMAND ${CMAKE_COMMAND} -E rm -f ${KESTROVA_ZIP}
  COMMAND ${KESTROVA_PACKAGE_COMMAND}
  WORKING_DIRECTORY $<TARGET_FILE_DIR:Kestrova>
  COMMENT "Kestrova-${PROJECT_VERSION}.zip, its SHA-256 and the winget and Scoop manifests"
  VERBATIM)
add_dependencies(package Kestrova kestrova_readme)
if(Python3_Interpreter_FOUND)
  # The check makes the package first, so it always sees the program as built now.
  add_test(NAME package_build
    COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target package --config $<CONFIG>)
  set_tests_properties(package_build PROPERTIES FIXTURES_SETUP kestrova_package)
  add_test(NAME package_manifests
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/packages/check_packages.py
            --source-dir ${CMAKE_SOURCE_DIR} --build-dir ${CMAKE_BINARY_DIR} --exe $<TARGET_FILE:Kestrova>)
  set_tests_properties(package_manifests PROPERTIES FIXTURES_REQUIRED kestrova_package)
  # A relink only: the cheapest rebuild that would bring a link time into the zip.
  add_test(NAME package_reproducible
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DZIP=${KESTROVA_ZIP} -DEXE=$<TARGET_FILE:Kestrova>
            -P ${CMAKE_SOURCE_DIR}/cmake/CheckReproducible.cmake)
  set_tests_properties(package_reproducible PROPERTIES FIXTURES_REQUIRED kestrova_package
                       DEPENDS package_manifests RUN_SERIAL TRUE)
endif()

# The program stays under 1 MB: growth (a library pulled in by one call) fails here.
add_test(NAME exe_size
  COMMAND ${CMAKE_COMMAND} -DFILE=$<TARGET_FILE:Kestrova> -DLIMIT=1048576 -P ${CMAKE_SOURCE_DIR}/cmake/CheckSize.cmake)

# Relinks Kestrova.exe and writes the package again: the zip must come out
# byte for byte as before (no link time or zip time in it).
#   cmake -DBUILD_DIR=... -DZIP=... -DEXE=... -P CheckReproducible.cmake
if(NOT EXISTS "${ZIP}")
  message(FATAL_ERROR "${ZIP} missing: build the package first")
endif()
file(SHA256 "${ZIP}" before)
file(REMOVE "${EXE}")
execute_process(COMMAND ${CMAKE_COMMAND} --build "${BUILD_DIR}" --target package RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the package did not build again")
endif()
file(SHA256 "${ZIP}" after)
if(NOT before STREQUAL after)
  message(FATAL_ERROR "the relinked program gave another zip: ${before} then ${after}")
endif()
message(STATUS "the same zip after a relink: ${after}")

# The tests, for the Wine of the test bed, included by the toolchain files beside it, which set
# QR_TARGET_ARCH (the beds' architecture) first. The -posix thread model: GoogleTest and the tests
# use std::thread and std::mutex, which the -win32 runtime lacks. Beside them the build makes the
# programs as they ship (QR_SHIP_TOOLCHAIN_FILE) and, when the beds' architecture is another one,
# the programs of the beds' (QR_BED_TOOLCHAIN_FILE).
set(QR_THREAD_MODEL posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)

# Test programs run under Wine, in the running test bed of this build folder (tests/winerun).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/winerun --build ${CMAKE_BINARY_DIR})
set(QR_SHIP_TOOLCHAIN_FILE ${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
set(QR_BED_TOOLCHAIN_FILE ${CMAKE_CURRENT_LIST_DIR}/mingw-${QR_TARGET_ARCH}.cmake)

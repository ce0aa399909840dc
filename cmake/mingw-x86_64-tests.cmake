# The tests for 64-bit beds, on a host that runs no 32-bit code: the beds run the programs and
# the driver built x86_64 (bin64/), and the files that ship are built but not run.
set(QR_TARGET_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-tests.cmake)

# The tests for 32-bit beds, on a host that runs 32-bit code: the beds run the files that ship.
set(QR_TARGET_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-tests.cmake)

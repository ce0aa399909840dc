# The programs for x86_64, which only have to compile cleanly: the shipping build's thread model.
set(QR_TARGET_ARCH x86_64)
set(QR_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)

# The 32-bit programs as they ship. The -win32 thread model: the -posix runtime brings
# winpthreads, which imports functions that Windows 2000 and XP lack (GetTickCount64 among them).
set(QR_TARGET_ARCH i686)
set(QR_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)

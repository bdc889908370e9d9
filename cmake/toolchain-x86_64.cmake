# 64-bit Windows: the same sources, for running tests where only the 64-bit Wine loader works.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(BREVITOR_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-posix.cmake)

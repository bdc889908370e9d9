# Shared by the toolchain files: MinGW-w64 with the posix thread model, which GoogleTest needs (std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${BREVITOR_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BREVITOR_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BREVITOR_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${BREVITOR_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Without -static the posix model imports libwinpthread-1.dll and the runtime DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_DLLTOOL ${BREVITOR_TRIPLE}-dlltool)

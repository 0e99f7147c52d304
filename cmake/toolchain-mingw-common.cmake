# Shared by the MinGW-w64 toolchain files: Debian's posix-threads compilers for
# MORVANE_TRIPLE, and the Wine loader that runs the programs of this target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${MORVANE_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MORVANE_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MORVANE_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MORVANE_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

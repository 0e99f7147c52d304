# Cross build for 32-bit Windows (the shipped program).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MORVANE_TRIPLE i686-w64-mingw32)
set(MORVANE_WINE_LOADER /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

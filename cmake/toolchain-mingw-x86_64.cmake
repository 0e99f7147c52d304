# Cross build for 64-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MORVANE_TRIPLE x86_64-w64-mingw32)
set(MORVANE_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

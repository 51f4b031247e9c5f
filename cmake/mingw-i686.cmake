# 32-bit Windows: the shipped program.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(SLATEWASH_MINGW_PREFIX i686-w64-mingw32)
set(SLATEWASH_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

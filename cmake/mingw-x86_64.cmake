# 64-bit Windows: the same sources, for running the tests on machines whose
# kernel cannot execute 32-bit code (and so cannot run 32-bit Wine).
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(SLATEWASH_MINGW_PREFIX x86_64-w64-mingw32)
set(SLATEWASH_WINE_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

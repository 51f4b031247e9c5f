# Shared part of the MinGW-w64 cross toolchains; the including file sets
# SLATEWASH_MINGW_PREFIX and SLATEWASH_WINE_ARCH. The posix thread model is
# required: GoogleTest needs std::mutex.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${SLATEWASH_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SLATEWASH_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SLATEWASH_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SLATEWASH_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs every test executable through Wine, with a prefix in the build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh;${SLATEWASH_WINE_ARCH}")

# No link time in any PE file: the same sources give the same bytes.
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-Wl,--no-insert-timestamp")
endforeach()

# Cross build for Windows with Debian's mingw-w64 compilers; the test programs run under Wine.
# Expects ZIROZE_MINGW_TRIPLE and ZIROZE_WINE to be set by the including toolchain file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${ZIROZE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZIROZE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZIROZE_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZIROZE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs and the card library carry their C++ runtime inside, so Wine needs no mingw DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Wine's loader for 32-bit programs, which the 64-bit build also asks whether this machine runs them.
set(ZIROZE_WINE32 /usr/lib/wine/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run;${ZIROZE_WINE})

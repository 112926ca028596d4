# 64-bit Windows, for a 64-bit card library.
set(ZIROZE_MINGW_TRIPLE x86_64-w64-mingw32)
set(ZIROZE_WINE /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

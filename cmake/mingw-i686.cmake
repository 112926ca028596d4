# 32-bit Windows, the clinics' platform: their card library is a 32-bit DLL.
set(ZIROZE_MINGW_TRIPLE i686-w64-mingw32)
set(ZIROZE_WINE /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# 32-bit Windows, the clinics' platform: their card library is a 32-bit DLL.
set(ZIROZE_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(ZIROZE_WINE ${ZIROZE_WINE32})

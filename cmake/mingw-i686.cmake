# 32-bit Windows with Debian's mingw-w64: cmake --preset mingw-i686
set(MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ARDUDF_WINE_LOADER /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Doubles in SSE2 registers, as on x86-64: x87 code would compute the calendar and balance
# arithmetic in the precision that the host process happens to set (a 53-bit server, a
# 64-bit mingw program), and the results would depend on who loaded us.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

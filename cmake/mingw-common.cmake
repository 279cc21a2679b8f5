# Shared by the mingw-w64 toolchain files: MINGW_TRIPLE is set by the includer.
set(CMAKE_SYSTEM_NAME Windows)

# The posix-threaded compilers: libstdc++ of the win32 flavour (GCC 12) has no std::mutex.
# Their thread support comes from winpthread, which -static below links into each binary.
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${MINGW_TRIPLE}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every binary carries its own runtime (libgcc, libstdc++, winpthread): the DLL is one file
# that imports only system DLLs, and the test programs run under Wine without a PATH.
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
endforeach()

# Test programs run under Wine's loader for their architecture, named by the includer
# (the `wine` launcher would take the 32-bit loader for both whenever wine32 is installed).
set(CMAKE_CROSSCOMPILING_EMULATOR ${ARDUDF_WINE_LOADER})

# What both MinGW-w64 cross builds share (Debian's posix-thread compilers). The toolchain file
# that includes this sets CMAKE_SYSTEM_PROCESSOR and VFDA_MINGW_TRIPLE first.
# Everything is linked statically against the compiler's runtime, so the binaries need no
# MinGW DLL beside them: only Windows' own DLLs and the project's.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${VFDA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VFDA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VFDA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VFDA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

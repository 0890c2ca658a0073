# Cross build of valico.exe for 64-bit Windows with MinGW-w64 (Debian package
# g++-mingw-w64-x86-64-posix). The posix thread model is required: the win32 model lacks
# std::thread and std::mutex. Programs run under Wine when CMake or CTest needs to start them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VALICO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VALICO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VALICO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VALICO_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW sysroot only; programs (code generators) from the
# build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VALICO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained valico.exe: the C++ runtime, libgcc and winpthread are linked in, so the
# program needs only Windows' own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# GCC 12's std::string gives false -Wrestrict warnings at -O2 ("literal" + std::string&&,
# GCC bug 105329); they would bury real warnings in every Windows build.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

find_program(VALICO_WINE NAMES wine wine64)
if(VALICO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VALICO_WINE})
endif()

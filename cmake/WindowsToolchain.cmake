# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (the posix-thread variant, for
# std::thread) and runs the test programs under Wine.
# TUNORA_WINDOWS_LIBRARIES names the prefix tools/windows-libraries.sh filled.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TUNORA_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TUNORA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TUNORA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TUNORA_MINGW}-windres)

# Try-compiles see a fresh cache; pass the prefix on through the environment.
if(TUNORA_WINDOWS_LIBRARIES)
  set(ENV{TUNORA_WINDOWS_LIBRARIES} "${TUNORA_WINDOWS_LIBRARIES}")
else()
  set(TUNORA_WINDOWS_LIBRARIES "$ENV{TUNORA_WINDOWS_LIBRARIES}")
endif()

set(CMAKE_FIND_ROOT_PATH ${TUNORA_WINDOWS_LIBRARIES} /usr/${TUNORA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(ENV{PKG_CONFIG_LIBDIR} "${TUNORA_WINDOWS_LIBRARIES}/lib/pkgconfig:/usr/${TUNORA_MINGW}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# One self-contained .exe: no libgcc, libstdc++ or winpthread DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(TUNORA_WINE wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TUNORA_WINE})

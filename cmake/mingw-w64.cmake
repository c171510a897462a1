# Cross-building the Windows deliverables with Debian's MinGW-w64 (the posix
# thread model). The including toolchain file sets PALLIX_MINGW_TRIPLET.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${PALLIX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PALLIX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PALLIX_MINGW_TRIPLET}-windres)
set(CMAKE_OBJDUMP ${PALLIX_MINGW_TRIPLET}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${PALLIX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The compiler's runtime (libgcc, libstdc++, winpthread) goes into each
# binary, so a PC needs nothing beyond the system's own DLLs.
set(PALLIX_STATIC_RUNTIME "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${PALLIX_STATIC_RUNTIME}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${PALLIX_STATIC_RUNTIME}")

# GCC 12's -Wrestrict misreads libstdc++'s own string concatenation once it
# is inlined for this target (GCC bug 105651); the native build keeps it.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

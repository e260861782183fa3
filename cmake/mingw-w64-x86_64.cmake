# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the POSIX-threads flavour, which has
# std::thread and std::mutex) and runs the built programs, tests included, under wine.
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DNC16_WINDOWS_DEPS="<prefixes>"
# NC16_WINDOWS_DEPS lists the install prefixes of the libraries built for Windows
# (scripts/setup windows prints them).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_AR ${triple}-gcc-ar-posix)
set(CMAKE_RANLIB ${triple}-gcc-ranlib-posix)

# wine64 in the project's own prefix (scripts/windows/wine makes it on first use).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/windows/wine)

set(NC16_WINDOWS_DEPS "$ENV{NC16_WINDOWS_DEPS}" CACHE STRING
    "Install prefixes of the libraries built for Windows")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES NC16_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${NC16_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config finds only the Windows libraries, never the host's.
set(pcdirs "")
foreach(prefix ${NC16_WINDOWS_DEPS})
  list(APPEND pcdirs ${prefix}/lib/pkgconfig)
endforeach()
string(REPLACE ";" ":" pcdirs "${pcdirs}")
set(ENV{PKG_CONFIG_LIBDIR} "${pcdirs}")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
set(ENV{PKG_CONFIG_PATH} "")

# Programs, DLLs and plugins (module libraries, as Qt builds its plugins) are linked statically
# against the compiler's runtime, so that they start under wine and on Windows without
# libstdc++-6.dll and friends beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")

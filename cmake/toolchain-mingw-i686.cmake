# Cross-compiles Orbel for 32-bit Windows with MinGW-w64 (i686) from Linux.
#
#   cmake --preset mingw      (or -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake)
#
# The programs are linked fully static, so orbel32.exe is one file that runs on a
# bare Windows without the MinGW runtime DLLs. CTest runs the cross-built test
# programs under Wine through scripts/wine-exec.
set(CMAKE_SYSTEM_NAME Windows)
# Matches the x86 pattern of the top-level CMakeLists.txt, which then adds
# -msse2 -mfpmath=sse so that doubles never go through the x87 unit.
set(CMAKE_SYSTEM_PROCESSOR i686)

set(ORBEL_MINGW_PREFIX i686-w64-mingw32)
# The "posix" thread model of Debian's MinGW-w64 GCC: with the default "win32"
# one, GCC 12 has no std::mutex, which GoogleTest needs. The threading library
# (winpthreads) is linked statically like everything else.
set(CMAKE_C_COMPILER ${ORBEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORBEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ORBEL_MINGW_PREFIX}-windres)

# Headers and libraries come from the MinGW sysroot only; programs run during
# the build (none so far) would come from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${ORBEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# SSE2 arithmetic also in code compiled before the project's own flags apply
# (try_compile checks). _USE_MATH_DEFINES makes <cmath> declare M_PI and its
# kin under -std=c++17, as glibc's headers do.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -D_USE_MATH_DEFINES")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -D_USE_MATH_DEFINES")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# add_test() and gtest_discover_tests() run target executables through this.
get_filename_component(_orbel_source_dir "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_orbel_source_dir}/scripts/wine-exec;--no-wait")

# The header-only libraries of the build machine (CLI11, nlohmann/json, {fmt}), which
# find_package would not look for outside the MinGW sysroot.
set(CLI11_DIR "${CMAKE_CURRENT_LIST_DIR}/mingw-packages")
set(nlohmann_json_DIR "${CMAKE_CURRENT_LIST_DIR}/mingw-packages")
set(fmt_DIR "${CMAKE_CURRENT_LIST_DIR}/mingw-packages")

# Cross-compiles the 32-bit Windows program with MinGW-w64 (posix thread model).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
# SSE2, as every 32-bit Windows program built with MSVC's defaults assumes: the kind scan
# searches sixteen bytes at a time.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

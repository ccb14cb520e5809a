# Cross build for 32-bit Windows with Debian's mingw-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Single-precision arithmetic in SSE registers, so float results round as on x86_64 and MSVC.
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

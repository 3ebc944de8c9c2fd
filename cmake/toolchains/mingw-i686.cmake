# 32-bit Windows programs with Debian's MinGW-w64 cross compiler. Built and linked only: a 64-bit
# kernel without 32-bit support cannot run them, so their tests are not run on such a host.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VELQUIN_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

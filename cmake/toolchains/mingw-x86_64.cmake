# 64-bit Windows programs with Debian's MinGW-w64 cross compiler; tests run under wine64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELQUIN_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

find_program(VELQUIN_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(VELQUIN_WINE64 NAMES wine64)
if(VELQUIN_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELQUIN_WINE64})
endif()

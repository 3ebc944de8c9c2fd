# Shared part of the MinGW-w64 cross toolchains; the including file sets VELQUIN_MINGW_TRIPLE and
# CMAKE_SYSTEM_PROCESSOR.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

# The "-posix" compilers carry the C++ thread library (std::thread, std::mutex); the plain names
# may point at the "win32" flavour, which lacks it in GCC 12.
foreach(lang C CXX)
  if(lang STREQUAL "C")
    set(tool gcc)
  else()
    set(tool g++)
  endif()
  find_program(VELQUIN_MINGW_${lang} NAMES ${VELQUIN_MINGW_TRIPLE}-${tool}-posix ${VELQUIN_MINGW_TRIPLE}-${tool}
               REQUIRED)
  set(CMAKE_${lang}_COMPILER ${VELQUIN_MINGW_${lang}})
endforeach()
find_program(CMAKE_RC_COMPILER NAMES ${VELQUIN_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELQUIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wide-character Win32 API, Windows 7 or newer (basic-info listing with large fetch).
set(CMAKE_CXX_FLAGS_INIT "-DUNICODE -D_UNICODE -D_WIN32_WINNT=0x0601 -DWINVER=0x0601")
set(CMAKE_C_FLAGS_INIT "${CMAKE_CXX_FLAGS_INIT}")
# A static runtime: each program runs with nothing beside it but its data files.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# No Qt and no Google Benchmark exist for this target.
set(VELQUIN_GUI OFF CACHE BOOL "Build the window program and the drawn controls (needs Qt 6 Widgets)" FORCE)
set(VELQUIN_BENCH OFF CACHE BOOL "Build the benchmarks (needs Google Benchmark)" FORCE)

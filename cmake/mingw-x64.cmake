# Cross build for 64-bit Windows with the mingw-w64 compilers.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUILLARA_MINGW_TRIPLET x86_64-w64-mingw32)
set(QUILLARA_WINDOWS_VERSION 5.2)  # Windows XP x64 and Server 2003 SP1
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Cross build for 32-bit Windows with the mingw-w64 compilers.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(QUILLARA_MINGW_TRIPLET i686-w64-mingw32)
set(QUILLARA_WINDOWS_VERSION 4.0)  # Windows 98 and NT 4.0
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# The thread model of the cross compilers: the shipped program is built with
# the win32 ones, which link no thread library; the test programs need the
# posix ones, whose C++ library has std::mutex (GCC 12).
if(NOT QUILLARA_MINGW_THREADS)
  set(QUILLARA_MINGW_THREADS posix)
endif()
# Compiler checks run in projects of their own: they must pick the same model.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUILLARA_MINGW_THREADS)

set(CMAKE_C_COMPILER   ${QUILLARA_MINGW_TRIPLET}-gcc-${QUILLARA_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${QUILLARA_MINGW_TRIPLET}-g++-${QUILLARA_MINGW_THREADS})
set(CMAKE_RC_COMPILER  ${QUILLARA_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUILLARA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Fully static: the program must import system DLLs only.  The header names
# the oldest Windows each architecture runs on (QUILLARA_WINDOWS_VERSION).
string(REPLACE "." ";" version "${QUILLARA_WINDOWS_VERSION}")
list(GET version 0 major)
list(GET version 1 minor)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ \
-Wl,--major-os-version,${major},--minor-os-version,${minor} \
-Wl,--major-subsystem-version,${major},--minor-subsystem-version,${minor}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The shipped quillara.scr of a Windows build whose compilers use the posix
# thread model.  GoogleTest needs that model, but it would put the posix
# thread library into the program, and with it imports that Windows 9x, NT 4.0
# and XP lack.  So the program is built once more, in a tree of its own with
# the win32-model compilers of the same toolchain, inside this build: target
# `quillara` stands for that build's file, build/<preset>/quillara.scr, and
# target `quillara_scr` builds it (an imported target cannot be built itself).
# The test programs link the library built here, from the same sources.
include(ExternalProject)
set(scr "${CMAKE_BINARY_DIR}/quillara.scr")
ExternalProject_Add(quillara_scr
  SOURCE_DIR "${CMAKE_SOURCE_DIR}"
  PREFIX "${CMAKE_BINARY_DIR}/scr"
  BINARY_DIR "${CMAKE_BINARY_DIR}/scr/build"
  CMAKE_ARGS
    "-DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}"
    "-DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}"
    -DQUILLARA_MINGW_THREADS=win32
    -DQUILLARA_SCR_ONLY=ON
    "-DQUILLARA_SCR_DIR=${CMAKE_BINARY_DIR}"
  # The sources are this tree's: let its own make decide what is stale.
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS "${scr}")
add_executable(quillara IMPORTED GLOBAL)
set_target_properties(quillara PROPERTIES IMPORTED_LOCATION "${scr}")
add_dependencies(quillara quillara_scr)

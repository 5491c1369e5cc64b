# The saver host's window side: host state, closing rules, password support,
# the saver window and its message loop.
add_library(quillara_host STATIC
  ${CMAKE_CURRENT_LIST_DIR}/HostState.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DefaultSaverProc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ApproveClose.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PasswordSupport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RunSaver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HostWindowProc.cpp
)
target_link_libraries(quillara_host PUBLIC user32 gdi32 advapi32)

# HostWindowProc calls SaverProc and SaverProc calls DefaultSaverProc: the two
# static libraries depend on each other, which CMake resolves by repeating
# them on the link line.
if(TARGET quillara_render)
  target_link_libraries(quillara_host PUBLIC quillara_render)
endif()

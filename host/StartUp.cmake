# Start-up and the command line, and the screen saver executable itself.
enable_language(RC)

add_library(quillara_startup STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParseWindowHandle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaverEntry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaverMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RunSwitch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RunPreview.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShowConfigDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RunPasswordChange.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExceptionGuard.cpp)
target_link_libraries(quillara_startup PUBLIC quillara_config user32 kernel32)

# The screen saver itself: one file, system DLLs only, no symbols.
add_executable(quillara WIN32
  ${CMAKE_CURRENT_LIST_DIR}/WinMain.cpp
  ${CMAKE_SOURCE_DIR}/resources/quillara.rc)
set_target_properties(quillara PROPERTIES
  OUTPUT_NAME quillara
  SUFFIX ".scr"
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_options(quillara PRIVATE -s)
# The libraries call into each other (start-up -> host -> render -> host),
# so they are linked as one group.
target_link_libraries(quillara PRIVATE
  -Wl,--start-group
  quillara_startup quillara_host quillara_render quillara_config quillara_sim quillara_settings
  -Wl,--end-group
  opengl32 glu32 gdi32 user32 advapi32 comctl32)

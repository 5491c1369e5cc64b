# The registry store and the configuration dialog: Windows only.  One
# operation per file, so a program links only what it calls.
add_library(quillara_config STATIC
  ${CMAKE_CURRENT_LIST_DIR}/LoadSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CountChoices.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ConfigDialogProc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrepareDialogClasses.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FillCountList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GetListSelection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReadCountList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NormaliseRange.cpp)
target_link_libraries(quillara_config PUBLIC quillara_settings advapi32 comctl32 user32)

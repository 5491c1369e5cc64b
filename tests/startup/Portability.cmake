# The shipped program's imports, header and manifest need no Wine: label "static" (both presets).
add_test(NAME scr_imports_header_manifest COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/Imports.sh
  ${QUILLARA_MINGW_TRIPLET}-objdump $<TARGET_FILE:quillara> ${CMAKE_SYSTEM_PROCESSOR} ${QUILLARA_WINDOWS_VERSION})
set_tests_properties(scr_imports_header_manifest PROPERTIES LABELS static)
quillara_add_gtest(fault_report_tests OWN_MAIN
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FaultReportTest.cpp LIBS quillara_test_kit)

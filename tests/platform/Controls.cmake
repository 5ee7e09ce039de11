pdfimport_test(NAME test_controls
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/test_controls_edit_model.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/test_controls_menu.cpp
  LIBS pdfimport_platform)

pdfimport_test(NAME test_controls
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/test_controls_button.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/test_controls_edit.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/test_controls_edit_model.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/test_controls_menu.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/test_controls_popup.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/test_controls_scale.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/test_controls_script.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/test_controls_static.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/test_controls_tab.cpp
  LIBS pdfimport_platform)

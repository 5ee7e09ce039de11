# Tests of windows, messages, dialogs and the offscreen driver.
pdfimport_test(NAME test_windows
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_win_messages.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_win_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_win_script.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_win_input.cpp
  LIBS pdfimport_platform)

# Tests of the open-file dialog: our own dialog and its list box on the
# offscreen driver, and the desktop's file chooser against a fake one on a
# private session bus.
pkg_check_modules(FAKE_CHOOSER_DBUS REQUIRED IMPORTED_TARGET dbus-1)
add_executable(fake_file_chooser ${CMAKE_CURRENT_LIST_DIR}/fake_file_chooser.cpp)
target_link_libraries(fake_file_chooser PRIVATE PkgConfig::FAKE_CHOOSER_DBUS)
pdfimport_test(NAME test_file_dialog
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_filedlg_builtin.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_filedlg_listbox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_filedlg_portal.cpp
  LIBS pdfimport_platform)
target_compile_definitions(test_file_dialog PRIVATE FAKE_FILE_CHOOSER="$<TARGET_FILE:fake_file_chooser>")
add_dependencies(test_file_dialog fake_file_chooser)

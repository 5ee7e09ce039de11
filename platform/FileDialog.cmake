# The open-file dialog: the desktop's file chooser over D-Bus and our own
# dialog with its list box.
pkg_check_modules(PDFIMPORT_DBUS REQUIRED IMPORTED_TARGET dbus-1)
target_sources(pdfimport_platform PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/BuiltinFileDialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CListBox.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/FileTypeFilter.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/FolderListing.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/PortalFileChooser.cpp)
target_link_libraries(pdfimport_platform PUBLIC PkgConfig::PDFIMPORT_DBUS)

# The display driver: real windows on the desktop through SDL2.
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
# Xlib for its error handler (SDL draws on X directly) and the desktop resources.
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
target_sources(pdfimport_platform PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/SdlDriver.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/SdlCursors.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/SdlKeyMap.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/AnsiText.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/DesktopResolution.cpp)
target_link_libraries(pdfimport_platform PUBLIC PkgConfig::SDL2 PkgConfig::X11)

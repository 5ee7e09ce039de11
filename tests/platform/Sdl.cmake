# The display driver's keys and text.
pdfimport_test(NAME test_sdl_keys
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sdl_keys.cpp
  LIBS pdfimport_platform)

# The display driver where no desktop can be reached.
pdfimport_test(NAME test_sdl_open
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sdl_open.cpp
  LIBS pdfimport_platform)

# What the framework asks of the display driver for windows a modal dialog
# keeps disabled, on the offscreen driver.
pdfimport_test(NAME test_sdl_modal_owner
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sdl_modal_owner.cpp
  LIBS pdfimport_platform)

# Real windows under a private Xvfb, with xdotool for input and Xlib to read
# the screen and the cursor.
pkg_check_modules(XLIB_FOR_TESTS REQUIRED IMPORTED_TARGET x11 xfixes)
pdfimport_test(NAME test_sdl_display
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sdl_display.cpp ${CMAKE_CURRENT_LIST_DIR}/XvfbDisplay.cpp
  LIBS pdfimport_platform PkgConfig::XLIB_FOR_TESTS)
# The desktop's file chooser is the fake one of the open-file dialog tests.
target_compile_definitions(test_sdl_display PRIVATE FAKE_FILE_CHOOSER="$<TARGET_FILE:fake_file_chooser>")
add_dependencies(test_sdl_display fake_file_chooser)

# The converter window through the demo host on the display.
if(TARGET pdfimport-host)
  pdfimport_test(NAME test_sdl_converter
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sdl_converter.cpp ${CMAKE_CURRENT_LIST_DIR}/XvfbDisplay.cpp
    LIBS PkgConfig::XLIB_FOR_TESTS)
  add_dependencies(test_sdl_converter pdfimport-host pdfimport)
  target_compile_definitions(test_sdl_converter PRIVATE
    HOST_PROGRAM="$<TARGET_FILE:pdfimport-host>"
    PDFIMPORT_LIBRARY="$<TARGET_FILE:pdfimport>")
endif()

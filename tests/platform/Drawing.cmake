# Tests of the drawing half of the window framework.
pdfimport_test(NAME test_drawing
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_draw_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_draw_snapshot.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_draw_raster.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_draw_shapes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_draw_clip.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_draw_decoders.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_draw_resources.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_draw_system.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_display_scale.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_draw_scaled_artwork.cpp
  LIBS pdfimport_platform)

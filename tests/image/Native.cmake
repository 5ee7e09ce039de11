pdfimport_test(NAME test_image_native
  SOURCES
    test_native_bmp.cpp
    test_native_gif.cpp
    test_native_tga.cpp
    test_native_pcx_wbmp.cpp
    test_native_dispatch.cpp
  LIBS pdfimport_image)

# Conformance against an independent decoder and encoder (Pillow from Debian's
# python3-pil): pictures Pillow writes in every variant it can make, plus
# hand-made variants Pillow reads, are converted by `rximage convert` and
# compared pixel by pixel; malformed copies must fail with a text.
if(EXISTS /usr/bin/python3 AND TARGET rximage)
  add_test(NAME image_native_conformance
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/native_conformance.py $<TARGET_FILE:rximage>)
  set_tests_properties(image_native_conformance PROPERTIES TIMEOUT 1800)
endif()

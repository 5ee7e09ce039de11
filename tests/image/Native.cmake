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
# hand-made variants Pillow reads, are converted through the image classes and
# compared pixel by pixel; malformed copies must fail with a text.
add_executable(native_convert native_convert.cpp)
target_include_directories(native_convert PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(native_convert PRIVATE pdfimport_image)
if(EXISTS /usr/bin/python3)
  add_test(NAME image_native_conformance
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/native_conformance.py $<TARGET_FILE:native_convert>)
endif()
if(TEST image_native_conformance)
  set_tests_properties(image_native_conformance PROPERTIES TIMEOUT 1800)
endif()

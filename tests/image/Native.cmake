pdfimport_test(NAME test_image_native
  SOURCES
    test_native_bmp.cpp
    test_native_gif.cpp
    test_native_tga.cpp
    test_native_pcx_wbmp.cpp
    test_native_dispatch.cpp
  LIBS pdfimport_image)

# Tests of the JPEG, PNG and TIFF codecs; the fixtures are written by the
# libraries themselves and by Pillow, independent of the codecs under test.
pkg_check_modules(TEST_LIBCODEC_JPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(TEST_LIBCODEC_PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(TEST_LIBCODEC_TIFF REQUIRED IMPORTED_TARGET libtiff-4)

pdfimport_test(NAME test_image_library
  SOURCES
    LibraryFixtures.cpp
    test_library_conformance.cpp
    test_library_jpeg.cpp
    test_library_png.cpp
    test_library_tiff.cpp
  LIBS pdfimport_image PkgConfig::TEST_LIBCODEC_JPEG PkgConfig::TEST_LIBCODEC_PNG PkgConfig::TEST_LIBCODEC_TIFF)

# Round trips through the rximage tool for every depth each format holds.
if(TARGET rximage)
  add_test(NAME image_library_roundtrip
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/library_roundtrip.py
            $<TARGET_FILE:rximage> ${CMAKE_CURRENT_BINARY_DIR}/library_roundtrip)
endif()

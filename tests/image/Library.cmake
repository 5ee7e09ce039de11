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

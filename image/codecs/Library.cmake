# The codecs that rest on outside libraries: JPEG, PNG and TIFF.
pkg_check_modules(LIBCODEC_JPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(LIBCODEC_PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(LIBCODEC_TIFF REQUIRED IMPORTED_TARGET libtiff-4)

target_sources(pdfimport_image PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/codecs/RxExifInfo.h
  ${CMAKE_CURRENT_SOURCE_DIR}/codecs/JpegErrorTrap.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/codecs/JpegFileSource.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/codecs/JpegFileDestination.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/codecs/JpegExifReader.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/codecs/RxImageJPG.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/codecs/RxImagePNG.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/codecs/TiffFileClient.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/codecs/RxImageTIF.cpp
)
target_link_libraries(pdfimport_image PRIVATE
  PkgConfig::LIBCODEC_JPEG PkgConfig::LIBCODEC_PNG PkgConfig::LIBCODEC_TIFF)

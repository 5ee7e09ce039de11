# The codecs whose format logic the library carries itself.
target_sources(pdfimport_image PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/codecs/RxByteReader.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/codecs/RxByteWriter.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/codecs/RxImageBMP.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/codecs/GifLzwDecoder.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/codecs/RxImageGIF.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/codecs/RxImageTGA.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/codecs/RxImagePCX.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/codecs/RxImageWBMP.cpp
)

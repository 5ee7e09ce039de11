# Pixel, palette, alpha, selection and transform members of RxImage.
target_sources(pdfimport_image PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/PixelRow.h
  ${CMAKE_CURRENT_SOURCE_DIR}/RxImageOperations.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/RxImagePaletteEdit.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/RxImageConvert.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/RxImageAlpha.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/RxImageSelection.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/RxImageTransform.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/RxImageRotate.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/RxImageDepth.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/RxImageDither.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/RxImageResample.cpp
)

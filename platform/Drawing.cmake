# Drawing half of the window framework: device contexts, GDI objects, fonts,
# resource registry and decoders, system colours and shell services.
pkg_check_modules(PDFIMPORT_FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(PDFIMPORT_FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(PDFIMPORT_LIBPNG REQUIRED IMPORTED_TARGET libpng)

target_sources(pdfimport_platform PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/Surface.cpp ${CMAKE_CURRENT_SOURCE_DIR}/CGdiObject.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CPen.cpp ${CMAKE_CURRENT_SOURCE_DIR}/CBrush.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CRgn.cpp ${CMAKE_CURRENT_SOURCE_DIR}/CFont.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CBitmap.cpp ${CMAKE_CURRENT_SOURCE_DIR}/Icon.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CImageList.cpp ${CMAKE_CURRENT_SOURCE_DIR}/FontResolver.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/FontInstance.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CDC.cpp ${CMAKE_CURRENT_SOURCE_DIR}/CDCShapes.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CDCText.cpp ${CMAKE_CURRENT_SOURCE_DIR}/CDCBlit.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/DibReader.cpp ${CMAKE_CURRENT_SOURCE_DIR}/BmpDecoder.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/IconDecoder.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ResourceTable.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/SysColors.cpp ${CMAKE_CURRENT_SOURCE_DIR}/Shell.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/PngWriter.cpp ${CMAKE_CURRENT_SOURCE_DIR}/DisplayScale.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ImageScaler.cpp)
target_link_libraries(pdfimport_platform PUBLIC
  PkgConfig::PDFIMPORT_FREETYPE PkgConfig::PDFIMPORT_FONTCONFIG PkgConfig::PDFIMPORT_LIBPNG ${CMAKE_DL_LIBS})

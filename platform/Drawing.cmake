# Drawing half of the window framework: device contexts, GDI objects, fonts,
# resource registry and decoders, system colours and shell services.
pkg_check_modules(PDFIMPORT_FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(PDFIMPORT_FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(PDFIMPORT_LIBPNG REQUIRED IMPORTED_TARGET libpng)

set(PDFIMPORT_DRAWING_SOURCES)
foreach(src
    Surface.cpp CGdiObject.cpp CPen.cpp CBrush.cpp CRgn.cpp CFont.cpp CBitmap.cpp Icon.cpp
    CImageList.cpp FontResolver.cpp FontInstance.cpp
    CDC.cpp CDCShapes.cpp CDCText.cpp CDCBlit.cpp
    DibReader.cpp BmpDecoder.cpp IconDecoder.cpp ResourceTable.cpp
    SysColors.cpp Shell.cpp PngWriter.cpp)
  # Listed as they land, so that the room configures while it grows.
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${src})
    list(APPEND PDFIMPORT_DRAWING_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${src})
  endif()
endforeach()
target_sources(pdfimport_platform PRIVATE ${PDFIMPORT_DRAWING_SOURCES})
target_link_libraries(pdfimport_platform PUBLIC
  PkgConfig::PDFIMPORT_FREETYPE PkgConfig::PDFIMPORT_FONTCONFIG PkgConfig::PDFIMPORT_LIBPNG ${CMAKE_DL_LIBS})

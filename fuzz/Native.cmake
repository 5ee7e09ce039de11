# The native codecs, each compiled into its target so that libFuzzer's
# coverage sees inside it.
foreach(format bmp gif tga pcx wbmp)
  string(TOUPPER ${format} upper)
  pdfimport_fuzz(fuzz_${format} pdfimport_image)
  target_sources(fuzz_${format} PRIVATE
    ${PROJECT_SOURCE_DIR}/image/codecs/RxImage${upper}.cpp
    ${PROJECT_SOURCE_DIR}/image/codecs/RxByteReader.cpp
    ${PROJECT_SOURCE_DIR}/image/codecs/RxByteWriter.cpp)
endforeach()
target_sources(fuzz_gif PRIVATE ${PROJECT_SOURCE_DIR}/image/codecs/GifLzwDecoder.cpp)

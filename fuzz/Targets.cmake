# Every fuzz target. pdfimport_fuzz(<name> <libs...>) is defined by the file
# that includes this one: CMakeLists.txt makes libFuzzer programs (clang),
# Replay.cmake makes replay programs registered as tests (any compiler).
set(PDFIMPORT_FUZZ_DIR ${PROJECT_SOURCE_DIR}/fuzz)

# Any bytes through the content search and a draw; the component layer alone.
pdfimport_fuzz(fuzz_image_decode pdfimport_image pdfimport_platform)
pdfimport_fuzz(fuzz_component_decode pdfimport_image)

foreach(part Native Library Operations Parsers)
  include(${PDFIMPORT_FUZZ_DIR}/${part}.cmake OPTIONAL)
endforeach()

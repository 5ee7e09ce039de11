# Native codecs: decode and encode speed against giflib (GIF decoding) and
# Pillow (the rest) on the same files.
add_executable(bench_native ${CMAKE_CURRENT_SOURCE_DIR}/native_bench.cpp)
target_include_directories(bench_native PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(bench_native PRIVATE pdfimport_image gif)

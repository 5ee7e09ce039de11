# Image operations: Resample and Rotate speed, with ImageMagick as reference.
add_executable(bench_operations ${CMAKE_CURRENT_SOURCE_DIR}/operations_bench.cpp)
target_include_directories(bench_operations PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(bench_operations PRIVATE pdfimport_image)

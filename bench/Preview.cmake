add_executable(bench_preview ${CMAKE_CURRENT_LIST_DIR}/preview_bench.cpp)
target_include_directories(bench_preview PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(bench_preview PRIVATE pdfimport_preview)

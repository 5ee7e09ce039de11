# JPEG, PNG and TIFF codecs against the plain library calls on the same data.
pkg_check_modules(BENCH_LIBCODEC REQUIRED IMPORTED_TARGET libjpeg libpng libtiff-4)
add_executable(bench_library ${CMAKE_CURRENT_SOURCE_DIR}/library_bench.cpp)
target_include_directories(bench_library PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(bench_library PRIVATE pdfimport_image PkgConfig::BENCH_LIBCODEC)

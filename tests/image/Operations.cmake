# Pixel, palette, plane and transform members of RxImage.
pdfimport_test(NAME test_image_operations
  SOURCES
    OpsTestImages.cpp
    test_ops_pixels.cpp
    test_ops_planes.cpp
    test_ops_transforms.cpp
    test_ops_depth.cpp
    test_ops_resample.cpp
    test_ops_tool.cpp
    ${PROJECT_SOURCE_DIR}/tools/rximage/ImageOperations.cpp
  LIBS pdfimport_image)

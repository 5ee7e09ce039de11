# Decoders of the library-backed codecs: JPEG (with its section reader), PNG
# (re-encoding what decodes) and TIFF (any of the first pages).
foreach(format jpeg png tiff)
  pdfimport_fuzz(fuzz_${format} pdfimport_image)
endforeach()

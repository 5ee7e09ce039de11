# Random sequences of the image operations with hostile parameters.
pdfimport_fuzz(fuzz_operations pdfimport_image)

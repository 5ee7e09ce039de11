# The text readers of the dialog and the whole PDF load of the converter
# window. Their sources are compiled into each target (not taken from the
# dialog room, which brings the whole window with it), so that coverage sees
# inside them.
set(PDFIMPORT_DIALOG_DIR ${PROJECT_SOURCE_DIR}/dialog)
pdfimport_fuzz(fuzz_settings ${CMAKE_DL_LIBS})
target_sources(fuzz_settings PRIVATE ${PDFIMPORT_FUZZ_DIR}/FuzzTempFile.cpp
  ${PDFIMPORT_DIALOG_DIR}/ImageSettings.cpp ${PDFIMPORT_DIALOG_DIR}/DecimalText.cpp
  ${PDFIMPORT_DIALOG_DIR}/PlainFile.cpp ${PROJECT_SOURCE_DIR}/platform/Shell.cpp)

pdfimport_fuzz(fuzz_page_range)
target_sources(fuzz_page_range PRIVATE ${PDFIMPORT_DIALOG_DIR}/PageRange.cpp
  ${PDFIMPORT_DIALOG_DIR}/DecimalText.cpp ${PDFIMPORT_DIALOG_DIR}/ImportOptions.cpp)

if(TARGET pdfimport_preview)
  pkg_check_modules(FUZZ_POPPLER REQUIRED IMPORTED_TARGET poppler)
  pdfimport_fuzz(fuzz_load_document pdfimport_preview pdfimport_image PkgConfig::FUZZ_POPPLER)
  target_sources(fuzz_load_document PRIVATE ${PDFIMPORT_FUZZ_DIR}/FuzzTempFile.cpp)
endif()

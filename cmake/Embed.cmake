# pdfimport_embed(OUTPUT <cpp> SYMBOL <name> FILES <f1> <f2> ...)
# Writes a C++ source holding each file's bytes and a table
#   extern const EmbeddedFile <name>[]; extern const size_t <name>Count;
# with the file's name (relative to the current source dir) and its bytes.
# Generated at build time so that edited artwork is picked up.
function(pdfimport_embed)
  cmake_parse_arguments(E "" "OUTPUT;SYMBOL" "FILES" ${ARGN})
  set(abs_files)
  foreach(f IN LISTS E_FILES)
    list(APPEND abs_files ${CMAKE_CURRENT_SOURCE_DIR}/${f})
  endforeach()
  add_custom_command(
    OUTPUT ${E_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${E_OUTPUT} -DSYMBOL=${E_SYMBOL}
            -DBASE=${CMAKE_CURRENT_SOURCE_DIR} "-DFILES=${E_FILES}"
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFiles.cmake
    DEPENDS ${abs_files} ${PROJECT_SOURCE_DIR}/cmake/EmbedFiles.cmake
    COMMENT "Embedding ${E_SYMBOL}"
    VERBATIM)
endfunction()

# A room registers its static library; the shared library links it whole.
function(pdfimport_room target)
  set_property(GLOBAL APPEND PROPERTY PDFIMPORT_ROOM_LIBS ${target})
endfunction()

# Sources compiled straight into the shared library (the entry points).
function(pdfimport_library_sources)
  foreach(f IN LISTS ARGN)
    set_property(GLOBAL APPEND PROPERTY PDFIMPORT_LIBRARY_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${f})
  endforeach()
endfunction()

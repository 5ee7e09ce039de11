#pragma once

// Marks a name as part of the shared library's interface; everything else
// is compiled with hidden visibility.
#define PDFIMPORT_EXPORT __attribute__((visibility("default")))

#pragma once

// The four functions a host calls to ask the user how to import a PDF file.
// Each shows the converter window modally and returns 1 after Convert, else
// 0. Shared by the library, which defines them, and by hosts, which look them
// up by name.

#include "platform/Export.h"

extern "C" {

// Hands the choices back through out-parameters: a new[] copy of the file
// path, the range list text (new[], moved to the caller), and the three
// flags. Parameters app, reserved4 and reserved8 are never used. Nothing is
// written on cancel. The caller releases both texts with delete[].
PDFIMPORT_EXPORT int GetPDFInfo(void* app, char** pdfPath, char** rangeList, void* reserved4,
                                int* scaleToFit, int* fillSolid, int* keepLineWidth,
                                void* reserved8);

// Writes the choices into PDFInfo.dat in the temporary directory; 1 when
// Convert was pressed and the file was written. The parameter is never read.
PDFIMPORT_EXPORT int GetPDFInfo2(void* app);

// GetPDFInfo with the library's application object as first argument.
PDFIMPORT_EXPORT int GetPDFInfoOut(char** pdfPath, char** rangeList, void* reserved4,
                                   int* scaleToFit, int* fillSolid, int* keepLineWidth,
                                   void* reserved8);

// GetPDFInfo2 with the library's application object.
PDFIMPORT_EXPORT int GetPDFInfo2Out();

} // extern "C"

// Pointer types for hosts that look the entry points up at run time.
using GetPDFInfoFunction = int (*)(void*, char**, char**, void*, int*, int*, int*, void*);
using GetPDFInfo2Function = int (*)(void*);
using GetPDFInfoOutFunction = int (*)(char**, char**, void*, int*, int*, int*, void*);
using GetPDFInfo2OutFunction = int (*)();

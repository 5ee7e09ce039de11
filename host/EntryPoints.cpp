// The exported entry points: each runs a fresh converter window modally and
// hands the choices of a confirmed import to the host.

#include "host/EntryPoints.h"

#include <cstring>

#include "dialog/CPDFtoDWG3Dlg.h"
#include "host/CTarnwickApp.h"
#include "host/ResultFile.h"
#include "resources/ConverterResources.h"

namespace {

// Runs the window; true after Convert. A window that cannot be created
// counts as cancel.
bool RunConverter(CPDFtoDWG3Dlg& window) {
    ConverterResources::Register();
    return window.DoModal() == IDOK;
}

char* CopyOfText(const std::string& text) {
    char* copy = new char[text.size() + 1];
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

}  // namespace

extern "C" {

int GetPDFInfo(void*, char** pdfPath, char** rangeList, void*, int* scaleToFit, int* fillSolid,
               int* keepLineWidth, void*) {
    try {
        CPDFtoDWG3Dlg window;
        if (!RunConverter(window)) return 0;
        const ImportOptions& options = window.Options();
        if (pdfPath) *pdfPath = CopyOfText(options.pdfPath);
        if (scaleToFit) *scaleToFit = options.scaleToFit;
        if (fillSolid) *fillSolid = options.fillSolid;
        if (keepLineWidth) *keepLineWidth = options.keepLineWidth;
        if (rangeList) *rangeList = window.Options().ReleaseRangeList();
        return 1;
    } catch (...) {
        // Nothing may unwind into the host.
        return 0;
    }
}

int GetPDFInfo2(void*) {
    try {
        const ResultFile resultFile;  // named before the window shows
        CPDFtoDWG3Dlg window;
        if (!RunConverter(window)) return 0;
        return resultFile.Write(window.Options()) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int GetPDFInfoOut(char** pdfPath, char** rangeList, void* reserved4, int* scaleToFit, int* fillSolid,
                  int* keepLineWidth, void* reserved8) {
    return GetPDFInfo(&TheApp(), pdfPath, rangeList, reserved4, scaleToFit, fillSolid, keepLineWidth,
                      reserved8);
}

int GetPDFInfo2Out() { return GetPDFInfo2(&TheApp()); }

}  // extern "C"

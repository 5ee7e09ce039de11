// Stands in for the import library in the demo host's tests. What the user
// "does" comes from FAKE_IMPORT: "convert" (default), "cancel", or
// "cancel-but-write" (a faulty library that fills the out-parameters of a
// cancelled call, which the host must notice). Built once
// with all four entry points and once with only GetPDFInfo, to show how the
// host meets a library without the entry point it wants.

#include "host/EntryPoints.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool UserConverts()
{
    const char* choice = std::getenv("FAKE_IMPORT");
    return !choice || std::strcmp(choice, "cancel") != 0;
}

char* CopyOf(const char* text)
{
    char* copy = new char[std::strlen(text) + 1];
    std::strcpy(copy, text);
    return copy;
}

} // namespace

extern "C" int GetPDFInfo(void*, char** pdfPath, char** rangeList, void*, int* scaleToFit,
                          int* fillSolid, int* keepLineWidth, void*)
{
    const char* choice = std::getenv("FAKE_IMPORT");
    if (choice && std::strcmp(choice, "cancel-but-write") == 0) {
        *scaleToFit = 1;
        return 0;
    }
    if (!UserConverts())
        return 0;
    *pdfPath = CopyOf("/plans/site.pdf");
    *scaleToFit = 0;
    *fillSolid = 1;
    *keepLineWidth = 0;
    *rangeList = CopyOf("4 0 obj 0;12 0 obj 1;");
    return 1;
}

#ifndef FAKE_ONLY_GETPDFINFO

extern "C" int GetPDFInfoOut(char** pdfPath, char** rangeList, void* reserved4, int* scaleToFit,
                             int* fillSolid, int* keepLineWidth, void* reserved8)
{
    return GetPDFInfo(nullptr, pdfPath, rangeList, reserved4, scaleToFit, fillSolid, keepLineWidth,
                      reserved8);
}

extern "C" int GetPDFInfo2(void*)
{
    if (!UserConverts())
        return 0;
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/PDFInfo.dat";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fputs("InputFile:/plans/site.pdf\r\nRanglist:\r\nScale:-1.000000\r\nScale it:1\r\n"
               "Fill it:1\r\nHas width:1\r\n",
               file);
    std::fclose(file);
    return 1;
}

extern "C" int GetPDFInfo2Out()
{
    return GetPDFInfo2(nullptr);
}

#endif

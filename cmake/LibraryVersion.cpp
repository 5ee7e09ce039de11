// The library's build identity, readable with `strings libpdfimport.so`.
extern "C" __attribute__((visibility("hidden"))) const char pdfimportBuildIdentity[] =
    "pdfimport " PDFIMPORT_VERSION_TEXT;

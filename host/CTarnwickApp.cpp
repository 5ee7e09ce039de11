#include "host/CTarnwickApp.h"

namespace {
// Constructed when the host loads the library, destroyed when it unloads it.
CTarnwickApp theApp;
}  // namespace

CTarnwickApp::CTarnwickApp() : CWinApp("pdfimport") {}

CTarnwickApp& TheApp() { return theApp; }

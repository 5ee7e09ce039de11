#pragma once

#include "platform/CWinApp.h"

// The library's application object: one instance, living from load to unload.
class CTarnwickApp : public CWinApp {
public:
    CTarnwickApp();
};

// The one instance; GetPDFInfoOut and GetPDFInfo2Out pass it on.
CTarnwickApp& TheApp();

#pragma once

#include "platform/DialogTemplate.h"

// The dialog templates of the converter window (1025), its pages (1009
// General, 1008 Image options, 1007 Drawing options) and the About box (1011).
class ConverterTemplates {
public:
    static const DialogTemplate& Converter();
    static const DialogTemplate& GeneralPage();
    static const DialogTemplate& ImagePage();
    static const DialogTemplate& DrawingPage();
    static const DialogTemplate& About();

    // Adds all five to the framework's template registry.
    static void Register();
};

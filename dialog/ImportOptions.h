#pragma once

#include "dialog/ImageSettings.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The user's choices for one import. Each page of the converter window keeps
// its part up to date; the window completes the page selection at Convert
// and the entry points read the record afterwards.
class ImportOptions {
public:
    enum RangeMode : int { AllPages = 0, CurrentPage = 1, PageList = 2 };

    // Input file and page selection.
    std::string pdfPath;
    int rangeMode = AllPages;
    std::string rangeText;
    std::vector<uint16_t> pageList;
    std::vector<std::string> pageRefs;
    // Built at Convert; null before. Allocated with new[] so that an entry
    // point can hand the raw buffer to a caller that releases it with delete[].
    std::unique_ptr<char[]> rangeList;

    // Drawing options. scale is -1.0 after Convert when scaleToFit is 1.
    double scale = 1.0;
    int scaleToFit = 0;
    int fillSolid = 1;
    int keepLineWidth = 1;

    // Scanned image options, read from and written to their own settings file.
    ImageSettings imageOptions;

    // The range list text, or "" while none has been built.
    const char* RangeListText() const;
    // Gives the range list buffer away; the caller releases it with delete[].
    char* ReleaseRangeList();
};

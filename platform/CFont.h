#pragma once

#include <memory>

#include "platform/CGdiObject.h"
#include "platform/GdiDefs.h"

class FontInstance;

// A font made from a logical font record. The record's height follows the
// classic rule: negative = character (em) height in pixels, positive = cell
// height (ascent + descent), 0 = the default size.
class CFont : public CGdiObject {
public:
    CFont() : CGdiObject(Kind::Font) {}
    ~CFont() override;

    bool CreateFontIndirect(const LOGFONT* logFont);
    bool CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                    BYTE quality, BYTE pitchAndFamily, const char* faceName);
    // Size in tenths of a point: height = -MulDiv(pointSize, logical dpi, 720).
    bool CreatePointFont(int pointSize, const char* faceName);
    bool CreatePointFontIndirect(const LOGFONT* logFont);  // lfHeight in tenths of a point
    bool CreateStockObject(int index);
    bool IsCreated() const override { return instance_ != nullptr; }
    bool DeleteObject() override;

    // The record the font was made from (face cut to 31 characters).
    int GetLogFont(LOGFONT* logFont) const;
    const LOGFONT& LogFont() const { return logFont_; }
    FontInstance* Instance() const { return instance_.get(); }

private:
    friend CGdiObject* GetStockObject(int);
    LOGFONT logFont_{};
    std::shared_ptr<FontInstance> instance_;
};

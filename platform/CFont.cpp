#include "platform/CFont.h"

#include <cstring>

#include "platform/DisplayScale.h"
#include "platform/FontInstance.h"

CFont::~CFont() = default;

bool CFont::CreateFontIndirect(const LOGFONT* logFont) {
    if (IsStock() || !logFont) return false;
    LOGFONT record = *logFont;
    record.lfFaceName[LF_FACESIZE - 1] = '\0';  // a longer face is cut to 31 characters
    LOGFONT sized = record;
    // Height 0 asks for the default size: 8 points on this screen.
    if (sized.lfHeight == 0) sized.lfHeight = -DisplayScale::Scale(11);
    std::shared_ptr<FontInstance> instance = FontInstance::Get(sized);
    if (!instance) return false;
    logFont_ = record;
    instance_ = std::move(instance);
    return true;
}

bool CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, const char* faceName) {
    LOGFONT lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    lf.lfStrikeOut = strikeOut;
    lf.lfCharSet = charSet;
    lf.lfOutPrecision = outPrecision;
    lf.lfClipPrecision = clipPrecision;
    lf.lfQuality = quality;
    lf.lfPitchAndFamily = pitchAndFamily;
    if (faceName) std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

bool CFont::CreatePointFont(int pointSize, const char* faceName) {
    LOGFONT lf{};
    lf.lfHeight = pointSize;
    lf.lfCharSet = DEFAULT_CHARSET;
    if (faceName) std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreatePointFontIndirect(&lf);
}

bool CFont::CreatePointFontIndirect(const LOGFONT* logFont) {
    if (!logFont) return false;
    LOGFONT lf = *logFont;
    // Tenths of a point to pixels of this screen, as character height.
    lf.lfHeight = -MulDiv(int(logFont->lfHeight < 0 ? -logFont->lfHeight : logFont->lfHeight),
                          DisplayScale::LogPixels(), 720);
    return CreateFontIndirect(&lf);
}

bool CFont::CreateStockObject(int index) {
    LOGFONT lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    switch (index) {
    case DEFAULT_GUI_FONT:
        lf.lfHeight = -11;
        lf.lfWeight = FW_NORMAL;
        std::strcpy(lf.lfFaceName, "MS Shell Dlg");
        break;
    case ANSI_VAR_FONT:
        lf.lfHeight = -11;
        lf.lfWeight = FW_NORMAL;
        std::strcpy(lf.lfFaceName, "MS Sans Serif");
        break;
    case SYSTEM_FONT:
        lf.lfHeight = 16;
        lf.lfWeight = FW_BOLD;
        std::strcpy(lf.lfFaceName, "System");
        break;
    default: return false;
    }
    // Stock fonts are sized for the screen, like fonts given in points.
    lf.lfHeight = DisplayScale::Scale(lf.lfHeight);
    return CreateFontIndirect(&lf);
}

bool CFont::DeleteObject() {
    if (IsStock() || !instance_) return false;
    instance_.reset();
    logFont_ = LOGFONT{};
    return true;
}

int CFont::GetLogFont(LOGFONT* logFont) const {
    if (!logFont || !instance_) return 0;
    *logFont = logFont_;
    return int(sizeof(LOGFONT));
}

#include "resources/ConverterTemplates.h"

#include "platform/DialogTemplateRegistry.h"
#include "platform/WinUser.h"
#include "resources/ResourceIds.h"

namespace {

constexpr DWORD kPushButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kLabel = SS_LEFT;
constexpr DWORD kGroupLabel = SS_LEFT | WS_GROUP;
constexpr DWORD kEdit = ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
constexpr DWORD kFirstRadio = BS_AUTORADIOBUTTON | WS_GROUP;
constexpr DWORD kCheckBox = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kGreyLine = SS_GRAYRECT | SS_SUNKEN;
constexpr DWORD kBlackLine = SS_BLACKRECT | SS_SUNKEN;
constexpr DWORD kPicture = SS_BITMAP;
constexpr DWORD kPageStyle = WS_CHILD | DS_CONTROL | DS_SETFONT;
constexpr DWORD kPopupStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

DialogItemTemplate Item(int id, const char* kind, const char* text, int x, int y, int cx, int cy,
                        DWORD style) {
    DialogItemTemplate item;
    item.id = id;
    item.className = kind;
    item.text = text;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.style = style;
    return item;
}

DialogItemTemplate Picture(UINT bitmap, int x, int y, int cx, int cy, DWORD style, DWORD exStyle = 0) {
    DialogItemTemplate item = Item(IDC_STATIC, "Static", "", x, y, cx, cy, kPicture | style);
    item.resourceId = bitmap;
    item.exStyle = exStyle;
    return item;
}

DialogItemTemplate Hidden(DialogItemTemplate item) {
    item.hidden = true;
    return item;
}

DialogTemplate MakeConverter() {
    DialogTemplate t{IDD_CONVERTER, "Kestrion Orvane PDF to DWG Converter", kPopupStyle,
                     WS_EX_APPWINDOW, 0, 0, 446, 325, "MS Sans Serif", 8, {}};
    t.items = {
        Item(2, "Button", "Exit", 389, 304, 50, 14, kPushButton),
        Item(1, "Button", "Convert", 330, 300, 54, 18, kPushButton),
        Item(1001, "SysTabControl32", "Tab1", 152, 62, 287, 230, 0),
        Item(1030, "Static", "", 8, 79, 139, 210, SS_BLACKFRAME),
        Item(1002, "Button", "", 6, 62, 15, 15, kPushButton),
        Item(1003, "Button", "", 22, 62, 15, 15, kPushButton),
        Item(IDC_STATIC, "Static", "Page:", 40, 67, 21, 8, kGroupLabel),
        Item(IDC_STATIC, "Static", "Total:", 78, 67, 25, 8, kGroupLabel),
        Item(1004, "Static", "  ", 61, 67, 16, 8, kLabel),
        Item(1005, "Static", "  ", 103, 67, 16, 8, kLabel),
        Item(134, "Button", "Help", 9, 304, 50, 14, BS_OWNERDRAW | WS_TABSTOP),
        Hidden(Item(1039, "Static", "Kestrion PDF to DWG Converter", 407, 9, 12, 13, kLabel)),
        Hidden(Item(1040, "Static", "Convert pdf file to dwg/dxf file(s), high quality and ease of use",
                    413, 44, 9, 8, kLabel)),
        Item(IDC_STATIC, "Static", "", 0, 57, 445, 1, kGreyLine),
        Picture(IDB_BANNER, 0, 0, 445, 61, 0),
        Item(1044, "Static", "Open", 127, 67, 17, 8, kLabel),
    };
    return t;
}

DialogTemplate MakeGeneralPage() {
    DialogTemplate t{IDD_PAGE_GENERAL, "", kPageStyle, 0, 0, 0, 285, 194, "Microsoft Sans Serif", 8, {}};
    t.items = {
        Item(IDC_STATIC, "Static", "Please select a PDF file to convert:", 7, 15, 112, 8, kGroupLabel),
        Item(1032, "Edit", "", 7, 28, 255, 12, kEdit),
        Item(1006, "Button", "...", 262, 27, 16, 14, kPushButton),
        Item(IDC_STATIC, "Static", "Page Range", 7, 56, 41, 8, kGroupLabel),
        Item(IDC_STATIC, "Static", "", 49, 60, 229, 1, kGreyLine),
        Item(1012, "Button", "All pages", 50, 72, 45, 10, kFirstRadio),
        Item(1013, "Button", "Current Page", 163, 72, 57, 10, kRadio),
        Item(1014, "Button", "Pages", 50, 95, 36, 10, kRadio),
        Item(1015, "Edit", "", 95, 93, 159, 13, kEdit),
        Item(IDC_STATIC, "Static",
             "Enter page numbers and/or page ranges separated by commas, for example, 1,3,5-12", 51,
             119, 201, 17, kGroupLabel),
    };
    return t;
}

DialogTemplate MakeImagePage() {
    DialogTemplate t{IDD_PAGE_IMAGE, "", kPageStyle, 0, 0, 0, 285, 194, "Microsoft Sans Serif", 8, {}};
    t.items = {
        Item(IDC_STATIC, "Static", "How to handle scanned or embended image?", 9, 11, 144, 8, kGroupLabel),
        Item(IDC_STATIC, "Static", "", 158, 15, 120, 1, kGreyLine),
        Item(1017, "Button", "Import scanned image directly ", 33, 27, 111, 10, kFirstRadio),
        Item(1018, "Button", "Convert scanned image to vector object", 33, 43, 142, 10, kRadio),
        Item(IDC_STATIC, "Static", "Vectorize scanned image", 7, 57, 80, 8, kGroupLabel),
        Item(IDC_STATIC, "Static", "", 95, 62, 183, 1, kBlackLine),
        Item(IDC_STATIC, "Static", "Line type:", 33, 73, 32, 8, kGroupLabel),
        Picture(IDB_LINE_CENTER, 101, 68, 69, 28, 0, WS_EX_CLIENTEDGE),
        Picture(IDB_LINE_OUTLINE, 197, 68, 69, 28, 0, WS_EX_CLIENTEDGE),
        Item(1019, "Button", "Center line", 107, 105, 49, 10, kFirstRadio),
        Item(1020, "Button", "Outline", 206, 105, 38, 10, kRadio),
        Item(IDC_STATIC, "Static", "Image Background:", 33, 117, 63, 8, kGroupLabel),
        Item(1021, "Button", "White", 107, 128, 35, 10, kFirstRadio),
        Item(1022, "Button", "Black", 206, 128, 34, 10, kRadio),
        Item(IDC_STATIC, "Static", "", 103, 121, 175, 1, kGreyLine),
        Item(1045, "Button", "Ignore differences in color", 33, 144, 97, 10, kCheckBox),
        Item(1046, "Button", "Create individual DWG file per page", 33, 160, 129, 10, kCheckBox),
        Item(1047, "Button", "Create  individual layout per image", 33, 176, 123, 10, kCheckBox),
    };
    return t;
}

DialogTemplate MakeDrawingPage() {
    DialogTemplate t{IDD_PAGE_DRAWING, "", kPageStyle, 0, 0, 0, 284, 194, "Microsoft Sans Serif", 8, {}};
    t.items = {
        Item(IDC_STATIC, "Static", "Scale:", 7, 7, 21, 8, kGroupLabel),
        Item(IDC_STATIC, "Static", "", 33, 11, 244, 1, kGreyLine),
        Item(IDC_STATIC, "Static", "Output scale:", 31, 19, 43, 8, kGroupLabel),
        Item(1005, "Edit", "", 80, 18, 50, 12, kEdit),
        Item(1023, "Button", "Scale to Fit", 31, 37, 51, 10, kCheckBox),
        Item(IDC_STATIC, "Static", "Convert filled object to DWG solid entity:", 7, 55, 128, 8, kGroupLabel),
        Item(IDC_STATIC, "Static", "", 141, 59, 136, 1, kGreyLine),
        Item(1024, "Button", "Solid Entity", 31, 78, 51, 10, kFirstRadio),
        Item(1020, "Button", "Outline", 159, 79, 38, 10, kRadio),
        Picture(IDB_FILL_SOLID, 85, 67, 70, 36, SS_SUNKEN),
        Picture(IDB_FILL_OUTLINE, 201, 67, 69, 34, SS_SUNKEN),
        Item(IDC_STATIC, "Static", "Keep line width?", 7, 100, 53, 8, kGroupLabel),
        Item(IDC_STATIC, "Static", "", 64, 105, 213, 1, kGreyLine),
        Item(1026, "Button", "Yes", 31, 124, 28, 10, kFirstRadio),
        Item(1027, "Button", "No", 159, 124, 25, 10, kRadio),
        Picture(IDB_WIDTH_KEPT, 85, 114, 56, 28, 0, WS_EX_CLIENTEDGE),
        Picture(IDB_WIDTH_THIN, 201, 114, 56, 28, 0, WS_EX_CLIENTEDGE),
    };
    return t;
}

DialogTemplate MakeAbout() {
    DialogTemplate t{IDD_ABOUT, "About Kestrion ORVANE", kPopupStyle, 0, 0, 0, 277, 71,
                     "Microsoft Sans Serif", 8, {}};
    t.items = {
        Item(1, "Button", "OK", 220, 7, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP),
        Picture(IDB_ABOUT, 7, 7, 20, 20, SS_SUNKEN),
        Item(IDC_STATIC, "Static", "Kestrion ORVANE PDF to DWG Version 3.2", 67, 9, 138, 8, kLabel),
    };
    return t;
}

}  // namespace

const DialogTemplate& ConverterTemplates::Converter() {
    static const DialogTemplate t = MakeConverter();
    return t;
}
const DialogTemplate& ConverterTemplates::GeneralPage() {
    static const DialogTemplate t = MakeGeneralPage();
    return t;
}
const DialogTemplate& ConverterTemplates::ImagePage() {
    static const DialogTemplate t = MakeImagePage();
    return t;
}
const DialogTemplate& ConverterTemplates::DrawingPage() {
    static const DialogTemplate t = MakeDrawingPage();
    return t;
}
const DialogTemplate& ConverterTemplates::About() {
    static const DialogTemplate t = MakeAbout();
    return t;
}

void ConverterTemplates::Register() {
    DialogTemplateRegistry::Add(&Converter());
    DialogTemplateRegistry::Add(&GeneralPage());
    DialogTemplateRegistry::Add(&ImagePage());
    DialogTemplateRegistry::Add(&DrawingPage());
    DialogTemplateRegistry::Add(&About());
}

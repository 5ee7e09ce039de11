#pragma once

// Constants of the drawing layer, with their classic values so that control
// code written against the classic interface reads (and stores) the same.

#include "platform/WinTypes.h"

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Pen styles.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_NULL = 5;

// Brush styles.
constexpr int BS_SOLID = 0;
constexpr int BS_NULL = 1;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int ANSI_VAR_FONT = 12;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;

// System colours (classic scheme).
constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_MENU = 4;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_MENUTEXT = 7;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_ACTIVEBORDER = 10;
constexpr int COLOR_INACTIVEBORDER = 11;
constexpr int COLOR_APPWORKSPACE = 12;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
constexpr int COLOR_HOTLIGHT = 26;
constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
constexpr int COLOR_MENUHILIGHT = 29;
constexpr int COLOR_MENUBAR = 30;
constexpr int COLOR_3DFACE = COLOR_BTNFACE;
constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT;

// Raster operations.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;    // source AND NOT destination
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD NOTSRCERASE = 0x001100A6;  // NOT (source OR destination)
constexpr DWORD MERGEPAINT = 0x00BB0226;   // NOT source OR destination
constexpr DWORD DSTERASE = 0x00220326;     // destination AND NOT source (masking)
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD PATCOPY = 0x00F00021;

// Stretch modes.
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;

// DIB constants.
constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0;

// Clip region combination and results.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;
constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// DrawText formats.
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_EXPANDTABS = 0x0040;
constexpr UINT DT_TABSTOP = 0x0080;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_EXTERNALLEADING = 0x0200;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;
constexpr UINT DT_HIDEPREFIX = 0x00100000;
constexpr UINT DT_PREFIXONLY = 0x00200000;

// Text alignment.
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_NOUPDATECP = 0;
constexpr UINT TA_UPDATECP = 1;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;

// Font weights, character sets and the rest of the logical font fields.
constexpr int FW_DONTCARE = 0;
constexpr int FW_THIN = 100;
constexpr int FW_LIGHT = 300;
constexpr int FW_NORMAL = 400;
constexpr int FW_MEDIUM = 500;
constexpr int FW_SEMIBOLD = 600;
constexpr int FW_BOLD = 700;
constexpr int FW_HEAVY = 900;
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE SYMBOL_CHARSET = 2;
constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FF_DONTCARE = 0;
constexpr BYTE FF_SWISS = 0x20;

// DrawEdge borders and flags.
constexpr UINT BDR_RAISEDOUTER = 0x0001;
constexpr UINT BDR_SUNKENOUTER = 0x0002;
constexpr UINT BDR_RAISEDINNER = 0x0004;
constexpr UINT BDR_SUNKENINNER = 0x0008;
constexpr UINT BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
constexpr UINT BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
constexpr UINT BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr UINT BF_LEFT = 0x0001;
constexpr UINT BF_TOP = 0x0002;
constexpr UINT BF_RIGHT = 0x0004;
constexpr UINT BF_BOTTOM = 0x0008;
constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr UINT BF_MIDDLE = 0x0800;
constexpr UINT BF_SOFT = 0x1000;
constexpr UINT BF_ADJUST = 0x2000;
constexpr UINT BF_FLAT = 0x4000;
constexpr UINT BF_MONO = 0x8000;

// DrawFrameControl.
constexpr UINT DFC_CAPTION = 1;
constexpr UINT DFC_MENU = 2;
constexpr UINT DFC_SCROLL = 3;
constexpr UINT DFC_BUTTON = 4;
constexpr UINT DFCS_BUTTONCHECK = 0x0000;
constexpr UINT DFCS_BUTTONRADIOIMAGE = 0x0001;
constexpr UINT DFCS_BUTTONRADIOMASK = 0x0002;
constexpr UINT DFCS_BUTTONRADIO = 0x0004;
constexpr UINT DFCS_BUTTON3STATE = 0x0008;
constexpr UINT DFCS_BUTTONPUSH = 0x0010;
constexpr UINT DFCS_SCROLLUP = 0x0000;
constexpr UINT DFCS_SCROLLDOWN = 0x0001;
constexpr UINT DFCS_SCROLLLEFT = 0x0002;
constexpr UINT DFCS_SCROLLRIGHT = 0x0003;
constexpr UINT DFCS_SCROLLCOMBOBOX = 0x0005;
constexpr UINT DFCS_INACTIVE = 0x0100;
constexpr UINT DFCS_PUSHED = 0x0200;
constexpr UINT DFCS_CHECKED = 0x0400;
constexpr UINT DFCS_TRANSPARENT = 0x0800;
constexpr UINT DFCS_HOT = 0x1000;
constexpr UINT DFCS_ADJUSTRECT = 0x2000;
constexpr UINT DFCS_FLAT = 0x4000;
constexpr UINT DFCS_MONO = 0x8000;

// DrawState.
constexpr UINT DST_COMPLEX = 0x0000;
constexpr UINT DST_TEXT = 0x0001;
constexpr UINT DST_PREFIXTEXT = 0x0002;
constexpr UINT DST_ICON = 0x0003;
constexpr UINT DST_BITMAP = 0x0004;
constexpr UINT DSS_NORMAL = 0x0000;
constexpr UINT DSS_UNION = 0x0010;
constexpr UINT DSS_DISABLED = 0x0020;
constexpr UINT DSS_MONO = 0x0080;

// DrawIconEx.
constexpr UINT DI_MASK = 0x0001;
constexpr UINT DI_IMAGE = 0x0002;
constexpr UINT DI_NORMAL = 0x0003;

// Image lists.
constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_COLOR4 = 0x0004;
constexpr UINT ILC_COLOR8 = 0x0008;
constexpr UINT ILC_COLOR16 = 0x0010;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILC_COLOR32 = 0x0020;
constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
constexpr UINT ILD_MASK = 0x0010;
constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Stock cursors.
constexpr UINT IDC_ARROW = 32512;
constexpr UINT IDC_IBEAM = 32513;
constexpr UINT IDC_WAIT = 32514;
constexpr UINT IDC_HAND = 32649;

// Resource types.
constexpr UINT RT_CURSOR = 1;
constexpr UINT RT_BITMAP = 2;
constexpr UINT RT_ICON = 3;
constexpr UINT RT_MENU = 4;
constexpr UINT RT_DIALOG = 5;
constexpr UINT RT_STRING = 6;
constexpr UINT RT_GROUP_CURSOR = 12;
constexpr UINT RT_GROUP_ICON = 14;

// Metrics of the classic screen.
constexpr int SCREEN_DPI = 96;
constexpr int SM_CXICON = 32;
constexpr int SM_CYICON = 32;
constexpr int SM_CXSMICON = 16;
constexpr int SM_CYSMICON = 16;

#include "dialog/CAboutaDlg.h"

#include "resources/ResourceIds.h"

CAboutaDlg::CAboutaDlg(CWnd* parent) : CDialog(IDD_ABOUT, parent) {}

#include "platform/BuiltinFileDialog.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/CListBox.h"

namespace {

// The folder of the last file chosen, for the next dialog of this process.
std::string& LastFolder() {
    static std::string folder;
    return folder;
}

std::string WorkingFolder() {
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer)) return buffer;
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/";
}

DWORD_PTR ItemData(size_t entry, DWORD_PTR kind) { return DWORD_PTR(entry) * 4 + kind; }

}  // namespace

BuiltinFileDialog::BuiltinFileDialog(const FileTypeFilter& filter, const std::string& defaultExtension,
                                     CWnd* owner)
    : m_template(MakeTemplate()), m_filter(filter), m_defaultExtension(defaultExtension) {
    CListBox::RegisterWindowClass();
    InitModalIndirect(&m_template, owner);
}

BuiltinFileDialog::~BuiltinFileDialog() = default;

DialogTemplate BuiltinFileDialog::MakeTemplate() {
    const DWORD label = SS_LEFTNOWORDWRAP | SS_NOPREFIX;
    return DialogTemplate{
        0, "Open", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 280, 192,
        "MS Sans Serif", 8,
        {
            DialogItemTemplate{IDC_STATIC, "Static", "Look in:", 7, 7, 40, 8, label},
            DialogItemTemplate{IDC_FOLDER, "Static", "", 55, 7, 218, 8, label | SS_ENDELLIPSIS},
            DialogItemTemplate{IDC_LIST, "ListBox", "", 7, 19, 266, 120,
                               WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY},
            DialogItemTemplate{IDC_STATIC, "Static", "File name:", 7, 148, 45, 8, label},
            DialogItemTemplate{IDC_FILE_NAME, "Edit", "", 55, 146, 218, 12, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
            DialogItemTemplate{IDC_STATIC, "Static", "Files of type:", 7, 164, 45, 8, label},
            DialogItemTemplate{IDC_FILE_TYPE, "Static", "", 55, 164, 218, 8, label | SS_ENDELLIPSIS},
            DialogItemTemplate{IDOK, "Button", "Open", 169, 173, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
            DialogItemTemplate{IDCANCEL, "Button", "Cancel", 223, 173, 50, 14, BS_PUSHBUTTON | WS_TABSTOP},
        }};
}

INT_PTR BuiltinFileDialog::DoModal() {
    m_path.clear();
    const INT_PTR result = CDialog::DoModal();
    if (result != IDOK) return result == -1 ? -1 : IDCANCEL;
    return IDOK;
}

BOOL BuiltinFileDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_FILE_TYPE, m_filter.Types().front().description.c_str());
    // The first folder that can be read, from the caller's wish to the root.
    bool shown = false;
    for (const std::string& folder : {m_initialFolder, LastFolder(), WorkingFolder()})
        if (!shown && !folder.empty()) shown = ShowFolder(FolderListing::Resolve("/", folder), false);
    if (!shown && !ShowFolder("/", false)) {
        m_folder = "/";
        SetDlgItemText(IDC_FOLDER, m_folder.c_str());
    }
    // Typing a path is the quickest way in: the name edit has the focus.
    GotoDlgCtrl(GetDlgItem(IDC_FILE_NAME));
    return FALSE;
}

bool BuiltinFileDialog::ShowFolder(const std::string& folder, bool reportFailure) {
    FolderListing listing;
    std::string error;
    const FileTypeFilter& filter = m_filter;
    if (!listing.Read(folder, [&filter](const std::string& name) { return filter.Matches(0, name); }, error)) {
        if (reportFailure) Complain(folder + "\nThe folder cannot be opened: " + error + ".");
        return false;
    }
    m_folder = folder;
    m_listing = std::move(listing);
    SetDlgItemText(IDC_FOLDER, m_folder.c_str());
    FillList();
    return true;
}

void BuiltinFileDialog::FillList() {
    auto* list = dynamic_cast<CListBox*>(GetDlgItem(IDC_LIST));
    if (!list) return;
    list->ResetContent();
    if (m_folder != "/") list->SetItemData(list->AddString(".."), ItemData(0, kParent));
    const std::vector<FolderEntry>& entries = m_listing.Entries();
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string shown = entries[i].folder ? entries[i].name + "/" : entries[i].name;
        list->SetItemData(list->AddString(shown.c_str()), ItemData(i, entries[i].folder ? kFolder : kFile));
    }
}

void BuiltinFileDialog::OpenSelected() {
    auto* list = dynamic_cast<CListBox*>(GetDlgItem(IDC_LIST));
    if (!list || list->GetCurSel() == LB_ERR) return;
    const DWORD_PTR data = list->GetItemData(list->GetCurSel());
    const size_t entry = size_t(data / 4);
    if (data % 4 == kParent) {
        ShowFolder(FolderListing::Parent(m_folder), true);
        return;
    }
    if (entry >= m_listing.Entries().size()) return;
    const std::string path = FolderListing::Join(m_folder, m_listing.Entries()[entry].name);
    // The entry may have changed on disk since the list was read.
    OpenTyped(path);
}

std::string BuiltinFileDialog::WithDefaultExtension(const std::string& path) const {
    const std::string extension = FileTypeFilter::ExtensionOf(m_defaultExtension);
    if (extension.empty() || FolderListing::NameOf(path).find('.') != std::string::npos) return path;
    struct stat info {};
    std::string lower = extension;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const std::string& candidate : {path + "." + extension, path + "." + lower})
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return candidate;
    return path;
}

void BuiltinFileDialog::OpenTyped(const std::string& typed) {
    std::string path = FolderListing::Resolve(m_folder, typed);
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        const int error = errno;
        const std::string extended = WithDefaultExtension(path);
        if (extended != path) {
            Choose(extended);
            return;
        }
        if (error == ENOENT || error == ENOTDIR)
            Complain(path + "\nFile not found.\nCheck the file name and try again.");
        else
            Complain(path + "\nThe file cannot be opened: " + std::strerror(error) + ".");
        return;
    }
    if (S_ISDIR(info.st_mode)) {
        if (ShowFolder(path, true)) SetDlgItemText(IDC_FILE_NAME, "");
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        Complain(path + "\nThis is not a file that can be opened.");
        return;
    }
    Choose(path);
}

void BuiltinFileDialog::Choose(const std::string& path) {
    m_path = path;
    LastFolder() = FolderListing::Parent(path);
    EndDialog(IDOK);
}

void BuiltinFileDialog::Complain(const std::string& text) {
    MessageBox(text.c_str(), "Open", MB_OK | MB_ICONWARNING);
    if (CWnd* edit = GetDlgItem(IDC_FILE_NAME)) GotoDlgCtrl(edit);
}

void BuiltinFileDialog::OnOK() {
    CWnd* list = GetDlgItem(IDC_LIST);
    std::string typed;
    GetDlgItemText(IDC_FILE_NAME, typed);
    const bool listChoice = GetFocus() == list && list->SendMessage(LB_GETCURSEL) != LB_ERR;
    if (listChoice || typed.empty()) OpenSelected();
    else OpenTyped(typed);
}

BOOL BuiltinFileDialog::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_BACK && pMsg->hwnd == GetDlgItem(IDC_LIST)) {
        ShowFolder(FolderListing::Parent(m_folder), true);
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

BOOL BuiltinFileDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDC_LIST) {
        auto* list = dynamic_cast<CListBox*>(GetDlgItem(IDC_LIST));
        if (!list) return TRUE;
        if (HIWORD(wParam) == LBN_DBLCLK) {
            OpenSelected();
        } else if (HIWORD(wParam) == LBN_SELCHANGE && list->GetCurSel() != LB_ERR) {
            // A file picked in the list becomes the name to open.
            const DWORD_PTR data = list->GetItemData(list->GetCurSel());
            const size_t entry = size_t(data / 4);
            if (data % 4 == kFile && entry < m_listing.Entries().size())
                SetDlgItemText(IDC_FILE_NAME, m_listing.Entries()[entry].name.c_str());
        }
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

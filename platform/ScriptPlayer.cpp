#include "platform/ScriptPlayer.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <typeinfo>

#include "platform/CDC.h"
#include "platform/CWnd.h"
#include "platform/MessageBoxService.h"
#include "platform/PngWriter.h"
#include "platform/ScriptParser.h"
#include "platform/SysColors.h"
#include "platform/WindowFrame.h"
#include "platform/WindowManager.h"

namespace {

void Report(const ScriptAction& action, const std::string& problem) {
    WindowManager::Instance().GetDriver().ReportScriptProblem(action.line, problem);
}

bool Alive(CWnd* wnd) { return CWnd::FromHandlePermanent(wnd) != nullptr; }

// The first window of the tree with the id, visible ones first.
// The visible control with that identifier, preferring one of the given kind
// (identifiers repeat across the pages of a dialog).
CWnd* FindControl(CWnd* root, int id, const char* preferredKind = nullptr) {
    std::vector<CWnd*> level{root}, matches;
    while (!level.empty()) {
        std::vector<CWnd*> next;
        for (CWnd* w : level)
            for (CWnd* child : w->GetChildren()) {
                if (child->GetDlgCtrlID() == id) matches.push_back(child);
                next.push_back(child);
            }
        level.swap(next);
    }
    if (preferredKind)
        for (CWnd* w : matches)
            if (w->IsWindowVisible() && w->GetWindowClassName() == preferredKind) return w;
    for (CWnd* w : matches)
        if (w->IsWindowVisible()) return w;
    return matches.empty() ? nullptr : matches.front();
}

void Send(CWnd* top, InputEvent::Type type, CPoint clientPoint) {
    InputEvent event;
    event.type = type;
    event.window = top->GetDriverWindow();
    event.x = clientPoint.x;
    event.y = clientPoint.y;
    WindowManager::Instance().DeliverInput(event);
}

// Press and release where the user would, in the top-level window's client area.
void ClickAt(CWnd* top, CPoint clientPoint) {
    Send(top, InputEvent::Type::MouseMove, clientPoint);
    if (!Alive(top)) return;
    Send(top, InputEvent::Type::MouseDown, clientPoint);
    if (!Alive(top)) return;
    Send(top, InputEvent::Type::MouseUp, clientPoint);
}

CPoint InTopLevel(const CWnd* wnd, CPoint clientPoint) {
    const CWnd* top = wnd->GetTopLevelParent();
    wnd->ClientToScreen(&clientPoint);
    top->ScreenToClient(&clientPoint);
    return clientPoint;
}

void TypeKey(unsigned key, const std::string& typed, unsigned modifiers) {
    WindowManager& wm = WindowManager::Instance();
    InputEvent event;
    event.modifiers = modifiers;
    if (key) {
        event.type = InputEvent::Type::KeyDown;
        event.key = key;
        wm.DeliverInput(event);
    }
    for (char c : typed) {
        event.type = InputEvent::Type::Char;
        event.key = static_cast<unsigned char>(c);
        wm.DeliverInput(event);
    }
    if (key) {
        event.type = InputEvent::Type::KeyUp;
        event.key = key;
        wm.DeliverInput(event);
    }
}

std::string ClassNameOf(const CWnd* wnd) {
    const char* mangled = typeid(*wnd).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && demangled ? demangled : mangled;
    std::free(demangled);
    // Classes local to a source file read better without their namespace.
    const std::string anonymous = "(anonymous namespace)::";
    for (size_t at = name.find(anonymous); at != std::string::npos; at = name.find(anonymous))
        name.erase(at, anonymous.size());
    return name;
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else if (c == '"' || c == '\\') out += std::string("\\") + c;
        else out += c;
    }
    return out + "\"";
}

void DumpWindow(CWnd* wnd, int depth, std::ostringstream& out) {
    CRect rect;
    wnd->GetClientRect(&rect);
    const CPoint topLeft = InTopLevel(wnd, CPoint(0, 0));
    rect.OffsetRect(topLeft);
    const LRESULT checked = wnd->SendMessage(BM_GETCHECK);
    out << std::string(size_t(depth) * 2, ' ') << wnd->GetDlgCtrlID() << ' ' << ClassNameOf(wnd)
        << " kind=" << (wnd->GetWindowClassName().empty() ? "-" : wnd->GetWindowClassName())
        << " text=" << Quoted(wnd->GetWindowText()) << " visible=" << (wnd->IsWindowVisible() ? 1 : 0)
        << " enabled=" << (wnd->IsWindowEnabled() ? 1 : 0) << " checked=" << checked << " rect=" << rect.left
        << ',' << rect.top << ',' << rect.right << ',' << rect.bottom << '\n';
    const std::vector<CWnd*> children = wnd->GetChildren();
    for (CWnd* child : children) DumpWindow(child, depth + 1, out);
}

bool OwnedBy(const CWnd* wnd, const CWnd* root) {
    for (const CWnd* w = wnd; w; w = w->GetWindow(GW_OWNER))
        if (w == root) return true;
    return false;
}

}  // namespace

void ScriptPlayer::Perform(const ScriptAction& action) {
    CWnd* active = WindowManager::Instance().ActiveModalWindow();
    if (!active && action.kind != ScriptAction::Kind::Key) {
        Report(action, "no window is open; skipped");
        return;
    }
    switch (action.kind) {
        case ScriptAction::Kind::Click: Click(action, active); break;
        case ScriptAction::Kind::Type: Type(action, active); break;
        case ScriptAction::Kind::Key: Key(action); break;
        case ScriptAction::Kind::Tab:
        case ScriptAction::Kind::Menu: ClickItem(action, active); break;
        case ScriptAction::Kind::Mouse: Mouse(action, active); break;
        case ScriptAction::Kind::Answer: Answer(action, active); break;
        case ScriptAction::Kind::Snapshot: Snapshot(action, active); break;
        case ScriptAction::Kind::Dump: WriteDump(action, active); break;
        case ScriptAction::Kind::ChooseFile: Report(action, "no open-file dialog is open; skipped"); break;
        case ScriptAction::Kind::Wait: break;  // the driver's clock
    }
}

void ScriptPlayer::Click(const ScriptAction& action, CWnd* active) {
    CWnd* control = FindControl(active, action.value);
    if (!control) {
        Report(action, "no control " + std::to_string(action.value) + " in the active window; skipped");
        return;
    }
    CRect client;
    control->GetClientRect(&client);
    ClickAt(control->GetTopLevelParent(), InTopLevel(control, client.CenterPoint()));
}

void ScriptPlayer::Type(const ScriptAction& action, CWnd* active) {
    CWnd* control = FindControl(active, action.value, "Edit");
    if (!control) {
        Report(action, "no control " + std::to_string(action.value) + " in the active window; skipped");
        return;
    }
    // A user cannot type into what cannot take the focus.
    if (!control->IsWindowVisible() || !control->IsWindowEnabled()) {
        Report(action, "control " + std::to_string(action.value) + " is hidden or disabled; skipped");
        return;
    }
    control->SetFocus();
    if (!Alive(control)) return;
    control->SendMessage(EM_SETSEL, 0, -1);
    for (char c : action.text) {
        bool shift = false;
        const unsigned key = ScriptParser::KeyOfCharacter(c, shift);
        TypeKey(key, std::string(1, c), shift ? MK_SHIFT : 0);
    }
}

void ScriptPlayer::Key(const ScriptAction& action) {
    TypeKey(unsigned(action.value), action.text, action.modifiers);
}

void ScriptPlayer::ClickItem(const ScriptAction& action, CWnd* active) {
    const bool tab = action.kind == ScriptAction::Kind::Tab;
    const CWnd::ScriptItem kind = tab ? CWnd::ScriptItem::Tab : CWnd::ScriptItem::MenuCommand;
    std::vector<CWnd*> level{active};
    while (!level.empty()) {
        std::vector<CWnd*> next;
        for (CWnd* w : level) {
            POINT point{0, 0};
            if (w->IsWindowVisible() && w->LocateScriptItem(kind, action.value, point)) {
                ClickAt(w->GetTopLevelParent(), InTopLevel(w, CPoint(point)));
                return;
            }
            for (CWnd* child : w->GetChildren()) next.push_back(child);
        }
        level.swap(next);
    }
    Report(action, tab ? "no tab " + std::to_string(action.value) + " in the active window; skipped"
                       : "no menu item " + std::to_string(action.value) + " in an open popup menu; skipped");
}

void ScriptPlayer::Mouse(const ScriptAction& action, CWnd* active) {
    const InputEvent::Type type = action.mouse == ScriptAction::MouseOp::Down ? InputEvent::Type::MouseDown
                                  : action.mouse == ScriptAction::MouseOp::Up ? InputEvent::Type::MouseUp
                                                                              : InputEvent::Type::MouseMove;
    Send(active->GetTopLevelParent(), type, CPoint(action.x, action.y));
}

void ScriptPlayer::Answer(const ScriptAction& action, CWnd* active) {
    if (!MessageBoxService::IsMessageBox(active)) {
        Report(action, "no message box is open; skipped");
        return;
    }
    CWnd* ok = FindControl(active, IDOK);
    if (ok && ok->IsWindowVisible() && ok->IsWindowEnabled()) {
        CRect client;
        ok->GetClientRect(&client);
        ClickAt(active, InTopLevel(ok, client.CenterPoint()));
    }
    // A box without a working OK button is closed as OK all the same.
    if (Alive(active) && active->IsInModalLoop()) active->EndModalLoop(IDOK);
}

void ScriptPlayer::Snapshot(const ScriptAction& action, CWnd* active) {
    WindowManager::Instance().PaintAll();
    CWnd* root = active;
    while (root->GetWindow(GW_OWNER)) root = root->GetWindow(GW_OWNER);
    Surface image;
    std::string error;
    if (!Compose(root, image)) Report(action, "nothing to show for the snapshot; skipped");
    else if (!PngWriter::Write(image, action.text, &error)) Report(action, "snapshot " + action.text + ": " + error);
}

void ScriptPlayer::WriteDump(const ScriptAction& action, CWnd* active) {
    std::ofstream out(action.text, std::ios::binary | std::ios::trunc);
    if (out) out << Dump(active);
    if (!out) Report(action, "dump " + action.text + ": cannot be written");
}

std::string ScriptPlayer::Dump(CWnd* topLevel) {
    std::ostringstream out;
    if (topLevel) DumpWindow(topLevel, 0, out);
    return out.str();
}

bool ScriptPlayer::Compose(CWnd* root, Surface& image) {
    struct Shown {
        CWnd* wnd;
        CRect client;  // screen
        CRect outer;   // with the frame
    };
    std::vector<Shown> shown;
    CRect bounds;
    for (CWnd* top : WindowManager::Instance().VisibleTopLevels()) {
        if (!OwnedBy(top, root) || !top->GetSurface()) continue;
        Shown s{top, CRect(), CRect()};
        top->GetWindowRect(&s.client);
        const CRect insets = WindowFrame::Insets(top->GetStyle(), top->GetExStyle());
        s.outer = s.client;
        s.outer.InflateRect(insets.left, insets.top, insets.right, insets.bottom);
        bounds |= s.outer;
        shown.push_back(s);
    }
    if (shown.empty() || bounds.IsRectEmpty() || !image.Resize(bounds.Width(), bounds.Height()))
        return false;
    image.Fill(Surface::FromColorRef(GetSysColor(COLOR_APPWORKSPACE)));
    CDC dc(&image);
    for (const Shown& s : shown) {
        CRect outer = s.outer - bounds.TopLeft();
        WindowFrame::Paint(dc, outer, s.wnd->GetStyle(), s.wnd->GetExStyle(), s.wnd->GetWindowText(),
                           s.wnd == WindowManager::Instance().Active());
        const Surface& pixels = *s.wnd->GetSurface();
        const int x0 = s.client.left - bounds.left;
        for (int y = 0; y < pixels.Height(); ++y) {
            const uint32_t* src = pixels.Row(y);
            std::copy(src, src + pixels.Width(), image.Row(s.client.top - bounds.top + y) + x0);
        }
    }
    return true;
}

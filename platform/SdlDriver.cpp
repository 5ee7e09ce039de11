#include "platform/SdlDriver.h"

#include <SDL_syswm.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/AnsiText.h"
#include "platform/DesktopResolution.h"
#include "platform/DisplayScale.h"
#include "platform/SdlKeyMap.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// Ownership chains are short; a longer one can only be a loop.
constexpr int kMaxOwnerDepth = 16;

int ButtonIndex(Uint8 sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT: return 0;
        case SDL_BUTTON_RIGHT: return 1;
        case SDL_BUTTON_MIDDLE: return 2;
        default: return -1;
    }
}

unsigned CurrentModifiers() { return SdlKeyMap::Modifiers(Uint16(SDL_GetModState())); }

XErrorHandler previousXErrorHandler = nullptr;

// X reports errors after the fact: a request made for a window that was
// destroyed meanwhile (a dialog that just closed) comes back as BadWindow,
// and the default handler would end the whole host for it.
int IgnoreGoneWindows(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow) return 0;
    return previousXErrorHandler ? previousXErrorHandler(display, error) : 0;
}

struct X11Window {
    Display* display = nullptr;
    ::Window window = 0;
};

// The X window behind an SDL window; false on other video drivers.
bool X11WindowOf(SDL_Window* sdl, X11Window& x11) {
    if (!sdl) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdl, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    x11.display = info.info.x11.display;
    x11.window = info.info.x11.window;
    return x11.display && x11.window;
}

// The hints of the Motif window manager that desktops still read for the
// frame's buttons and the window menu's entries.
constexpr long kMotifFunctions = 1L << 0, kMotifDecorations = 1L << 1;
constexpr long kMotifMove = 1L << 2, kMotifClose = 1L << 5;
constexpr long kMotifBorder = 1L << 1, kMotifTitle = 1L << 3, kMotifMenu = 1L << 4;

void SetAtomProperty(const X11Window& x11, const char* name, const char* value) {
    const long atom = long(XInternAtom(x11.display, value, False));
    XChangeProperty(x11.display, x11.window, XInternAtom(x11.display, name, False), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&atom), 1);
}

// A dialog is moved and closed, never minimised, maximised or resized;
// one with an owner is a dialog of that window to the desktop (stacked
// above it, no taskbar button of its own), one without is a window of its
// own (SDL makes every window transient for the screen, which desktops
// take for a dialog of the whole program).
void SetDialogHints(const X11Window& x11, ::Window owner) {
    const long motif[5] = {kMotifFunctions | kMotifDecorations, kMotifMove | kMotifClose,
                           kMotifBorder | kMotifTitle | kMotifMenu, 0, 0};
    const Atom motifAtom = XInternAtom(x11.display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(x11.display, x11.window, motifAtom, motifAtom, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(motif), 5);
    SetAtomProperty(x11, "_NET_WM_WINDOW_TYPE", owner ? "_NET_WM_WINDOW_TYPE_DIALOG" : "_NET_WM_WINDOW_TYPE_NORMAL");
    if (owner) XSetTransientForHint(x11.display, x11.window, owner);
    else XDeleteProperty(x11.display, x11.window, XA_WM_TRANSIENT_FOR);
    XFlush(x11.display);
}

}  // namespace

std::unique_ptr<SdlDriver> SdlDriver::Open(std::ostream& log) {
    // A library inside a host leaves the host's signals alone, and input
    // capture is ours to keep (the framework routes a drag to its window).
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // A dialog has no business keeping the screen saver away.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // Window pixels go straight to X: no OpenGL is loaded just to show them.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Only desktops are tried (SDL_VIDEODRIVER still chooses): a console's
    // graphics device is no place for a host's dialog.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,wayland");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        log << "display driver: " << SDL_GetError() << "\n";
        return nullptr;
    }
    // Without a display SDL quietly picks a driver that shows nothing.
    const char* video = SDL_GetCurrentVideoDriver();
    if (!video || (std::strcmp(video, "x11") != 0 && std::strcmp(video, "wayland") != 0)) {
        log << "display driver: no display to open\n";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    if (std::strcmp(video, "x11") == 0) previousXErrorHandler = XSetErrorHandler(IgnoreGoneWindows);
    SDL_StartTextInput();
    return std::unique_ptr<SdlDriver>(new SdlDriver(log));
}

SdlDriver::SdlDriver(std::ostream& log) : log_(log), cursors_(std::make_unique<SdlCursors>()) {}

SdlDriver::~SdlDriver() {
    for (auto& entry : windows_)
        if (entry.second.sdl) SDL_DestroyWindow(entry.second.sdl);
    windows_.clear();
    cursors_.reset();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (previousXErrorHandler) {
        XSetErrorHandler(previousXErrorHandler);
        previousXErrorHandler = nullptr;
    }
    // When nothing else of SDL is in use, its remaining state (the D-Bus
    // connection of its input-method support) goes too.
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

// ---- windows ----

SdlDriver::Window* SdlDriver::Find(int window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : &it->second;
}

const SdlDriver::Window* SdlDriver::Find(int window) const {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : &it->second;
}

int SdlDriver::NumberOf(Uint32 sdlId) const {
    for (const auto& entry : windows_)
        if (entry.second.id == sdlId && entry.second.sdl) return entry.first;
    return 0;
}

POINT SdlDriver::ShiftOf(int window) const {
    POINT shift{0, 0};
    const Window* w = Find(window);
    for (int depth = 0; w && depth < kMaxOwnerDepth; ++depth) {
        shift.x += w->shiftX;
        shift.y += w->shiftY;
        w = Find(w->owner);
    }
    return shift;
}

int SdlDriver::CreateWindow(const DriverWindowSpec& spec) {
    const int number = nextWindow_++;
    Window& w = windows_[number];
    w.kind = spec.kind;
    w.owner = Find(spec.owner) ? spec.owner : 0;
    w.rect = spec.rect;
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (spec.kind != PopupKind::Dialog) {
        // Borderless, above everything and outside the taskbar: the desktop
        // places these exactly where they are asked to be.
        flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_ALWAYS_ON_TOP |
                 (spec.kind == PopupKind::Menu ? SDL_WINDOW_POPUP_MENU : SDL_WINDOW_TOOLTIP);
    }
    const POINT shift = ShiftOf(w.owner);
    const int x = spec.rect.left + shift.x, y = spec.rect.top + shift.y;
    w.sdl = SDL_CreateWindow(AnsiText::ToUtf8(spec.caption).c_str(), x, y,
                             std::max(1, int(spec.rect.right - spec.rect.left)),
                             std::max(1, int(spec.rect.bottom - spec.rect.top)), flags);
    if (!w.sdl) {
        log_ << "display driver: a window could not be created: " << SDL_GetError() << "\n";
        return number;
    }
    w.id = SDL_GetWindowID(w.sdl);
    // Making the pixel buffer later puts the window back where it was
    // created, undoing moves made in between: it is made now.
    SDL_GetWindowSurface(w.sdl);
    w.requested.push_back(SDL_Point{x, y});
    if (spec.kind == PopupKind::Dialog) AskForDialogFrame(w);
    return number;
}

void SdlDriver::AskForDialogFrame(Window& w) {
    // Dialogs stay over the window that owns them.
    const Window* owner = Find(w.owner);
    if (owner && owner->sdl) SDL_SetWindowModalFor(w.sdl, owner->sdl);
    X11Window x11, ownerX11;
    if (!X11WindowOf(w.sdl, x11)) return;
    // The fixed size SDL asks for itself: a window that is not resizable
    // has its minimum and maximum size set to its size, on every resize too.
    SetDialogHints(x11, owner && X11WindowOf(owner->sdl, ownerX11) ? ownerX11.window : 0);
}

void SdlDriver::ShowWindow(int window, bool show) {
    Window* w = Find(window);
    if (!w || !w->sdl || w->shown == show) return;
    w->shown = show;
    if (show) {
        SDL_ShowWindow(w->sdl);
        // A hidden window may not have taken a move; it is placed again now.
        PlaceOnDesktop(*w);
        if (w->kind == PopupKind::Dialog) {
            SDL_RaiseWindow(w->sdl);
            FocusDialog(window);
        } else {
            RestoreFocusAfterPopup(*w);
        }
        return;
    }
    SDL_HideWindow(w->sdl);
    if (w->kind == PopupKind::Dialog && focused_ == window) FocusDialog(w->owner);
    else if (w->kind != PopupKind::Dialog) RestoreFocusAfterPopup(*w);
}

void SdlDriver::FocusDialog(int window) {
    const Window* w = Find(window);
    if (!w || !w->sdl || !w->shown || w->kind != PopupKind::Dialog) return;
    focused_ = window;
    SDL_SetWindowInputFocus(w->sdl);
}

void SdlDriver::RestoreFocusAfterPopup(const Window& popup) {
    // Showing a popup takes the keyboard focus on some desktops, and a
    // click into the dialog does not bring it back: it goes back at once
    // (the framework routes keys to an open menu itself).
    int dialog = focused_;
    if (!Find(dialog) || !Find(dialog)->shown) dialog = popup.owner;
    FocusDialog(dialog);
}

void SdlDriver::MoveWindow(int window, const RECT& screenRect) {
    Window* w = Find(window);
    if (!w) return;
    const bool sized = screenRect.right - screenRect.left != w->rect.right - w->rect.left ||
                       screenRect.bottom - screenRect.top != w->rect.bottom - w->rect.top;
    w->rect = screenRect;
    if (!w->sdl) return;
    if (sized) {
        SDL_SetWindowSize(w->sdl, std::max(1, int(screenRect.right - screenRect.left)),
                          std::max(1, int(screenRect.bottom - screenRect.top)));
        SDL_GetWindowSurface(w->sdl);
    }
    PlaceOnDesktop(*w);
}

void SdlDriver::PlaceOnDesktop(Window& w) {
    const POINT shift = ShiftOf(w.owner);
    const SDL_Point at{int(w.rect.left + shift.x), int(w.rect.top + shift.y)};
    // Only the positions still to be confirmed are kept.
    if (w.requested.size() >= 8) w.requested.erase(w.requested.begin());
    w.requested.push_back(at);
    SDL_SetWindowPosition(w.sdl, at.x, at.y);
}

void SdlDriver::RaiseWindow(int window) {
    Window* w = Find(window);
    if (!w || !w->sdl || !w->shown) return;
    SDL_RaiseWindow(w->sdl);
    FocusDialog(window);
}

std::string SdlDriver::DesktopWindowId(int window) const {
    const Window* w = Find(window);
    X11Window x11;
    if (!w || !X11WindowOf(w->sdl, x11)) return std::string();
    char id[32];
    std::snprintf(id, sizeof id, "x11:%lx", static_cast<unsigned long>(x11.window));
    return id;
}

void SdlDriver::SetCaption(int window, const std::string& caption) {
    Window* w = Find(window);
    if (w && w->sdl) SDL_SetWindowTitle(w->sdl, AnsiText::ToUtf8(caption).c_str());
}

void SdlDriver::DestroyWindow(int window) {
    Window* w = Find(window);
    if (!w) return;
    const bool hadFocus = focused_ == window;
    const int owner = w->owner;
    const bool popup = w->kind != PopupKind::Dialog;
    if (w->sdl) SDL_DestroyWindow(w->sdl);
    // What it owned no longer follows it.
    for (auto& entry : windows_)
        if (entry.second.owner == window) entry.second.owner = 0;
    windows_.erase(window);
    if (dragWindow_ == window) dragWindow_ = 0;
    if (hadFocus) {
        focused_ = 0;
        FocusDialog(owner);
    } else if (popup) {
        FocusDialog(focused_);
    }
}

// ---- pixels ----

void SdlDriver::Present(int window, const Surface& pixels, const RECT& dirty) {
    Window* w = Find(window);
    if (!w || !w->sdl) return;
    w->pixels = &pixels;
    CopyPixels(*w, pixels, dirty);
}

void SdlDriver::CopyPixels(Window& w, const Surface& pixels, const RECT& area) {
    SDL_Surface* target = SDL_GetWindowSurface(w.sdl);
    if (!target) return;
    const int left = std::max(0, int(area.left)), top = std::max(0, int(area.top));
    const int right = std::min({int(area.right), pixels.Width(), target->w});
    const int bottom = std::min({int(area.bottom), pixels.Height(), target->h});
    if (left >= right || top >= bottom) return;
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return;
    const int bytesPerPixel = target->format->BytesPerPixel;
    uint8_t* destination = static_cast<uint8_t*>(target->pixels) + size_t(top) * size_t(target->pitch) +
                           size_t(left) * size_t(bytesPerPixel);
    SDL_ConvertPixels(right - left, bottom - top, SDL_PIXELFORMAT_ARGB8888, pixels.Row(top) + left,
                      pixels.Width() * 4, target->format->format, destination, target->pitch);
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    const SDL_Rect rect{left, top, right - left, bottom - top};
    SDL_UpdateWindowSurfaceRects(w.sdl, &rect, 1);
}

void SdlDriver::PresentAll(Window& w) {
    // A resize gives SDL a fresh (black) buffer: the whole picture goes again.
    if (w.sdl && w.pixels) CopyPixels(w, *w.pixels, RECT{0, 0, w.pixels->Width(), w.pixels->Height()});
}

SIZE SdlDriver::ScreenSize() const {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(0, &bounds) != 0) return SIZE{1280, 1024};
    return SIZE{bounds.w, bounds.h};
}

int SdlDriver::ScalePercent() const {
    // The desktop's chosen text resolution first: it is what the user set.
    // Xvfb and some desktops report no resolution at all; the layout's own
    // size is right for them.
    const char* video = SDL_GetCurrentVideoDriver();
    if (video && std::strcmp(video, "x11") == 0) {
        const float chosen = DesktopResolution::XftDpi();
        if (chosen > 0) return DisplayScale::PercentForDpi(chosen);
    }
    float vertical = 0;
    if (SDL_GetDisplayDPI(0, nullptr, nullptr, &vertical) != 0) return DisplayScale::kMinPercent;
    return DisplayScale::PercentForDpi(vertical);
}

// ---- services ----

bool SdlDriver::ChooseOpenFile(const OpenFileRequest&, std::string&) {
    // The framework's own file dialog serves display drivers.
    return false;
}

bool SdlDriver::SetClipboardText(const std::string& text) {
    return SDL_SetClipboardText(AnsiText::ToUtf8(text).c_str()) == 0;
}

bool SdlDriver::GetClipboardText(std::string& text) {
    if (!SDL_HasClipboardText()) return false;
    char* utf8 = SDL_GetClipboardText();
    if (!utf8) return false;
    text = AnsiText::FromUtf8(utf8);
    SDL_free(utf8);
    return true;
}

void SdlDriver::ReportScriptProblem(int line, const std::string& problem) {
    log_ << "script line " << line << ": " << problem << "\n";
}

// ---- events ----

bool SdlDriver::WaitEvent(InputEvent& event, int64_t deadlineMs) {
    for (;;) {
        if (!pending_.empty()) {
            event = pending_.front();
            pending_.pop_front();
            return true;
        }
        const int64_t now = NowMs();
        if (deadlineMs >= 0 && deadlineMs <= now) return false;
        // Sleeps in SDL until input or the next timer: no polling.
        const int timeout = deadlineMs < 0 ? -1 : int(std::min<int64_t>(deadlineMs - now, INT_MAX));
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, timeout)) Translate(e);
        else if (timeout < 0) SDL_Delay(10);  // an error of the event source: never spin
    }
}

void SdlDriver::Queue(InputEvent event) { pending_.push_back(std::move(event)); }

void SdlDriver::Translate(const SDL_Event& e) {
    switch (e.type) {
        case SDL_WINDOWEVENT: TranslateWindowEvent(e.window); break;
        case SDL_MOUSEMOTION: TranslateMotion(e.motion); break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: TranslateButton(e.button); break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: TranslateKey(e.key); break;
        case SDL_TEXTINPUT: TranslateText(e.text); break;
        default: break;  // the wheel and the rest mean nothing to the dialogs
    }
}

void SdlDriver::TranslateWindowEvent(const SDL_WindowEvent& e) {
    const int number = NumberOf(e.windowID);
    Window* w = Find(number);
    if (!w) return;
    InputEvent event;
    event.window = number;
    event.modifiers = CurrentModifiers();
    switch (e.event) {
        case SDL_WINDOWEVENT_CLOSE:
            event.type = InputEvent::Type::Close;
            Queue(event);
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED: PresentAll(*w); break;
        case SDL_WINDOWEVENT_LEAVE:
            event.type = InputEvent::Type::Leave;
            Queue(event);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (w->kind != PopupKind::Dialog) break;
            focused_ = number;
            event.type = InputEvent::Type::Activate;
            Queue(event);
            break;
        case SDL_WINDOWEVENT_MOVED: {
            const SDL_Point at{e.data1, e.data2};
            auto asked = std::find_if(w->requested.begin(), w->requested.end(),
                                      [at](const SDL_Point& p) { return p.x == at.x && p.y == at.y; });
            if (asked != w->requested.end()) {
                w->requested.erase(w->requested.begin(), asked + 1);
                break;
            }
            // The desktop moved it: the windows it owns follow it.
            const POINT ownerShift = ShiftOf(w->owner);
            w->shiftX = at.x - int(w->rect.left) - ownerShift.x;
            w->shiftY = at.y - int(w->rect.top) - ownerShift.y;
            break;
        }
        default: break;
    }
}

bool SdlDriver::PointerTarget(Uint32 sdlId, int x, int y, int& window, int& cx, int& cy) const {
    window = NumberOf(sdlId);
    cx = x;
    cy = y;
    const Window* drag = Find(dragWindow_);
    if (buttonsDown_ && drag && drag->sdl && window != dragWindow_) {
        const Window* over = Find(window);
        int screenX = 0, screenY = 0, dragX = 0, dragY = 0;
        if (over && over->sdl) {
            SDL_GetWindowPosition(over->sdl, &screenX, &screenY);
            screenX += x;
            screenY += y;
        } else {
            // Outside every window of ours SDL names none: the pointer's
            // place on the screen tells.
            SDL_GetGlobalMouseState(&screenX, &screenY);
        }
        SDL_GetWindowPosition(drag->sdl, &dragX, &dragY);
        cx = screenX - dragX;
        cy = screenY - dragY;
        window = dragWindow_;
    }
    return window != 0;
}

void SdlDriver::TranslateMotion(const SDL_MouseMotionEvent& e) {
    if (e.which == SDL_TOUCH_MOUSEID) return;
    InputEvent event;
    event.type = InputEvent::Type::MouseMove;
    event.modifiers = CurrentModifiers();
    if (PointerTarget(e.windowID, e.x, e.y, event.window, event.x, event.y)) Queue(event);
}

void SdlDriver::TranslateButton(const SDL_MouseButtonEvent& e) {
    const int button = ButtonIndex(e.button);
    if (button < 0 || e.which == SDL_TOUCH_MOUSEID) return;
    const bool down = e.type == SDL_MOUSEBUTTONDOWN;
    InputEvent event;
    event.type = down ? InputEvent::Type::MouseDown : InputEvent::Type::MouseUp;
    event.button = button;
    event.modifiers = CurrentModifiers();
    event.doubleClick = down && e.clicks >= 2 && e.clicks % 2 == 0;
    if (down) {
        if (buttonsDown_ == 0) dragWindow_ = NumberOf(e.windowID);
        const Window* w = Find(NumberOf(e.windowID));
        if (w && w->kind == PopupKind::Dialog && focused_ != NumberOf(e.windowID)) FocusDialog(NumberOf(e.windowID));
    }
    const bool routed = PointerTarget(e.windowID, e.x, e.y, event.window, event.x, event.y);
    if (down) buttonsDown_ |= 1u << button;
    else buttonsDown_ &= ~(1u << button);
    if (buttonsDown_ == 0) dragWindow_ = 0;
    if (routed) Queue(event);
}

void SdlDriver::TranslateKey(const SDL_KeyboardEvent& e) {
    const unsigned key = SdlKeyMap::VirtualKey(e.keysym.sym);
    if (key == 0) return;
    InputEvent event;
    event.window = NumberOf(e.windowID);
    event.key = key;
    event.modifiers = SdlKeyMap::Modifiers(e.keysym.mod);
    event.type = e.type == SDL_KEYDOWN ? InputEvent::Type::KeyDown : InputEvent::Type::KeyUp;
    Queue(event);
    if (e.type != SDL_KEYDOWN) return;
    // The desktop's text never holds control characters; the classic
    // translation of these keys does.
    const unsigned character = SdlKeyMap::ControlCharacter(key, (e.keysym.mod & KMOD_CTRL) != 0);
    if (character == 0) return;
    event.type = InputEvent::Type::Char;
    event.key = character;
    Queue(event);
}

void SdlDriver::TranslateText(const SDL_TextInputEvent& e) {
    InputEvent event;
    event.type = InputEvent::Type::Char;
    event.window = NumberOf(e.windowID);
    event.modifiers = CurrentModifiers();
    for (char c : AnsiText::FromUtf8(std::string(e.text, strnlen(e.text, sizeof(e.text))))) {
        event.key = static_cast<unsigned char>(c);
        Queue(event);
    }
}

#include "platform/OffscreenDriver.h"

#include <cstdlib>
#include <fstream>

#include "platform/ScriptParser.h"

OffscreenDriver::OffscreenDriver(std::ostream& log) : log_(log) {}

OffscreenDriver::~OffscreenDriver() = default;

bool OffscreenDriver::LoadScriptFromEnvironment() {
    const char* path = std::getenv("PDFIMPORT_SCRIPT");
    if (!path || !*path) return true;
    return LoadScriptFile(path);
}

bool OffscreenDriver::LoadScriptFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        log_ << "script " << path << ": cannot be read\n";
        return false;
    }
    // A script is typed by hand; anything this large is not one.
    constexpr std::streamsize kMaxScriptBytes = 16 * 1024 * 1024;
    std::string text(size_t(kMaxScriptBytes) + 1, '\0');
    in.read(&text[0], kMaxScriptBytes + 1);
    if (in.gcount() > kMaxScriptBytes) {
        log_ << "script " << path << ": larger than 16 MiB; not run\n";
        return false;
    }
    text.resize(size_t(in.gcount()));
    LoadScriptText(text);
    return true;
}

void OffscreenDriver::LoadScriptText(const std::string& text) {
    for (const ScriptAction& action : ScriptParser::Parse(text, log_)) actions_.push_back(action);
}

int OffscreenDriver::CreateWindow(const DriverWindowSpec& spec) {
    const int window = nextWindow_++;
    windows_[window] = spec;
    return window;
}

void OffscreenDriver::ShowWindow(int, bool) {}

void OffscreenDriver::MoveWindow(int window, const RECT& screenRect) {
    auto it = windows_.find(window);
    if (it != windows_.end()) it->second.rect = screenRect;
}

void OffscreenDriver::SetCaption(int window, const std::string& caption) {
    auto it = windows_.find(window);
    if (it != windows_.end()) it->second.caption = caption;
}

void OffscreenDriver::DestroyWindow(int window) { windows_.erase(window); }

void OffscreenDriver::Present(int, const Surface&, const RECT&) {}

bool OffscreenDriver::WaitEvent(InputEvent& event, int64_t deadlineMs) {
    for (;;) {
        // Timers that are due run before anything else happens.
        if (deadlineMs >= 0 && deadlineMs <= now_) return false;
        if (waitUntil_ >= 0) {
            if (deadlineMs >= 0 && deadlineMs <= waitUntil_) {
                now_ = deadlineMs;
                return false;
            }
            now_ = waitUntil_;
            waitUntil_ = -1;
            continue;
        }
        if (!actions_.empty()) {
            const ScriptAction action = actions_.front();
            actions_.pop_front();
            if (action.kind == ScriptAction::Kind::Wait) {
                waitUntil_ = now_ + action.value;
                continue;
            }
            if (action.kind == ScriptAction::Kind::ChooseFile) {
                log_ << "script line " << action.line << ": no open-file dialog is open; skipped\n";
                continue;
            }
            event = InputEvent();
            event.type = InputEvent::Type::Script;
            event.action = action;
            return true;
        }
        // Nothing more will come: close the active window, as the user
        // leaving would, so that every modal loop ends.
        event = InputEvent();
        event.type = InputEvent::Type::Close;
        event.window = 0;
        return true;
    }
}

bool OffscreenDriver::ChooseOpenFile(const OpenFileRequest&, std::string& path) {
    // Waits in the script pass as time for the dialog; the next action
    // answers it.
    while (!actions_.empty() && actions_.front().kind == ScriptAction::Kind::Wait) {
        now_ += actions_.front().value;
        actions_.pop_front();
    }
    if (actions_.empty() || actions_.front().kind != ScriptAction::Kind::ChooseFile) {
        if (!actions_.empty())
            log_ << "script line " << actions_.front().line
                 << ": the open-file dialog needs choose-file; cancelled\n";
        return false;
    }
    const ScriptAction action = actions_.front();
    actions_.pop_front();
    if (action.cancel) return false;
    path = action.text;
    return true;
}

void OffscreenDriver::MessageBoxShown(const std::string& text) { log_ << "message box: " << text << "\n"; }

void OffscreenDriver::ReportScriptProblem(int line, const std::string& problem) {
    log_ << "script line " << line << ": " << problem << "\n";
}

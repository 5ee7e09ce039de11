#pragma once

// Runs windows without a display. User actions come from a script
// (PDFIMPORT_SCRIPT=FILE, or given directly); its clock is virtual and only
// moves when the script waits or when the loop waits for a timer, so runs
// are fast and repeatable. When the script is used up while a modal loop
// waits, it asks the active window to close, so a scripted run never hangs.

#include <deque>
#include <map>
#include <ostream>
#include <vector>

#include "platform/DisplayScale.h"
#include "platform/Driver.h"

class OffscreenDriver : public Driver {
public:
    // Script problems and message boxes are reported to `log` (standard error).
    explicit OffscreenDriver(std::ostream& log);
    ~OffscreenDriver() override;

    // Reads PDFIMPORT_SCRIPT when set; false when the file cannot be read or
    // is larger than 16 MiB.
    bool LoadScriptFromEnvironment();
    bool LoadScriptFile(const std::string& path);
    void LoadScriptText(const std::string& text);

    const char* Name() const override { return "offscreen"; }
    bool IsDisplay() const override { return false; }
    int CreateWindow(const DriverWindowSpec& spec) override;
    void ShowWindow(int window, bool show) override;
    void MoveWindow(int window, const RECT& screenRect) override;
    void SetCaption(int window, const std::string& caption) override;
    void DestroyWindow(int window) override;
    void RaiseWindow(int window) override { raised_.push_back(window); }
    void Present(int window, const Surface& pixels, const RECT& dirty) override;
    bool WaitEvent(InputEvent& event, int64_t deadlineMs) override;
    int64_t NowMs() override { return now_; }
    void SetCursor(HCURSOR cursor) override { cursor_ = cursor; }
    HCURSOR GetCursor() const { return cursor_; }
    // A screen of the same size in inches at every scale: windows and the
    // popups below them fit on it as they do at 100 %.
    SIZE ScreenSize() const override { return SIZE{DisplayScale::Scale(1280), DisplayScale::Scale(1024)}; }
    bool ChooseOpenFile(const OpenFileRequest& request, std::string& path) override;
    void MessageBoxShown(const std::string& text) override;
    void ReportScriptProblem(int line, const std::string& problem) override;

    // Windows that exist now, by number, with their spec.
    const std::map<int, DriverWindowSpec>& Windows() const { return windows_; }
    // Every window brought to the front, in order.
    const std::vector<int>& Raised() const { return raised_; }

private:
    std::ostream& log_;
    std::deque<ScriptAction> actions_;
    std::map<int, DriverWindowSpec> windows_;
    int nextWindow_ = 1;
    int64_t now_ = 0;
    int64_t waitUntil_ = -1;
    HCURSOR cursor_ = nullptr;
    std::vector<int> raised_;
};

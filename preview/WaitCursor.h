#pragma once

#include "platform/GdiDefs.h"
#include "platform/Icon.h"
#include "platform/WindowManager.h"

// Shows the wait cursor for its lifetime and puts the previous one back.
class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadStockCursor(IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

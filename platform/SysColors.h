#pragma once

#include "platform/CBrush.h"
#include "platform/GdiDefs.h"

// The classic scheme's system colours (COLOR_*); 0 for unknown numbers.
COLORREF GetSysColor(int index);
// A shared solid brush of a system colour; never deleted by the caller.
CBrush* GetSysColorBrush(int index);

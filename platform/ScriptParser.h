#pragma once

// Reads the offscreen driver's script: one action per line, '#' starts a
// comment, blank lines are skipped. A malformed line is reported with its
// line number and skipped.

#include <ostream>
#include <string>
#include <vector>

#include "platform/ScriptAction.h"

class ScriptParser {
public:
    // Parses the whole text; problems go to `errors` as "script line N: ...".
    static std::vector<ScriptAction> Parse(const std::string& text, std::ostream& errors);
    // One line (without its end of line); false and a reason when malformed,
    // also false with an empty reason for a blank or comment line.
    static bool ParseLine(const std::string& line, int lineNumber, ScriptAction& action,
                          std::string& reason);
    // A key name (Down, Up, PageDown, PageUp, Enter, Escape, Tab, Space, Left,
    // Right, Home, End, Delete, Backspace, optionally after "Shift+", or one
    // character) as a virtual key, the character it types (none: empty) and
    // MK_SHIFT when shifted. False for an unknown name.
    static bool ParseKey(const std::string& name, unsigned& key, std::string& typed,
                         unsigned& modifiers);
    // The key that types character c on a US keyboard, and whether Shift is
    // held; key 0 for characters without a key of their own.
    static unsigned KeyOfCharacter(char c, bool& shift);
};

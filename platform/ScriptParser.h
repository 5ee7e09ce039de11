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
    // Virtual key of a key name (Down, Up, PageDown, PageUp, Enter, Escape, Tab,
    // Space, Left, Right, Home, End, Delete, Backspace, or one character); 0 if
    // unknown.
    static unsigned KeyCode(const std::string& name);
};

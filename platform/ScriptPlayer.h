#pragma once

// Carries out the offscreen driver's scripted actions on the window that is
// active (the open popup menu or message box, else the topmost modal window),
// through the same input path as a user's mouse and keys.

#include <string>

#include "platform/ScriptAction.h"
#include "platform/Surface.h"

class CWnd;

class ScriptPlayer {
public:
    static void Perform(const ScriptAction& action);

    // One line per window of the tree: id, class, kind, text, visible,
    // enabled, checked and the rectangle in the top-level window's client
    // coordinates; children indented below their parent.
    static std::string Dump(CWnd* topLevel);
    // The window with the top-level windows it owns (popup menus, tooltips,
    // message boxes) stacked as they are shown, over the area they cover.
    static bool Compose(CWnd* topLevel, Surface& image);

private:
    static void Click(const ScriptAction& action, CWnd* active);
    static void Type(const ScriptAction& action, CWnd* active);
    static void Key(const ScriptAction& action);
    static void ClickItem(const ScriptAction& action, CWnd* active);
    static void Mouse(const ScriptAction& action, CWnd* active);
    static void Answer(const ScriptAction& action, CWnd* active);
    static void Snapshot(const ScriptAction& action, CWnd* active);
    static void WriteDump(const ScriptAction& action, CWnd* active);
};

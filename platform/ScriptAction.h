#pragma once

// One user action of a script for the offscreen driver.

#include <string>

struct ScriptAction {
    enum class Kind {
        Click,       // click ID
        Type,        // type ID TEXT
        Key,         // key NAME: virtual key in `value`, the character it types in `text`
        Tab,         // tab N
        Mouse,       // mouse move|down|up X Y
        ChooseFile,  // choose-file PATH | choose-file cancel (empty text)
        Answer,      // answer ok
        Menu,        // menu CMD
        Wait,        // wait MS
        Snapshot,    // snapshot FILE.png
        Dump,        // dump FILE
    };
    enum class MouseOp { Move, Down, Up };

    Kind kind = Kind::Click;
    int line = 0;       // line number in the script, from 1
    int value = 0;      // control id, key, tab index, command, milliseconds
    int x = 0, y = 0;   // mouse position
    MouseOp mouse = MouseOp::Move;
    unsigned modifiers = 0;  // MK_SHIFT for shifted character keys
    bool cancel = false;  // choose-file cancel
    std::string text;   // typed text, file path, answer
};

#pragma once

// Dialog templates by number. Rooms that carry templates add them once at
// start-up; dialogs look them up when they are created.

#include "platform/DialogTemplate.h"

class DialogTemplateRegistry {
public:
    // Adds or replaces the template of that number; the template must outlive
    // its use (templates are static data).
    static void Add(const DialogTemplate* dialogTemplate);
    // Null when no template of that number was added.
    static const DialogTemplate* Find(UINT id);
    static void Remove(UINT id);
};

#include "platform/DialogTemplateRegistry.h"

#include <map>

namespace {

std::map<UINT, const DialogTemplate*>& Templates() {
    static std::map<UINT, const DialogTemplate*> templates;
    return templates;
}

}  // namespace

void DialogTemplateRegistry::Add(const DialogTemplate* dialogTemplate) {
    if (dialogTemplate) Templates()[dialogTemplate->id] = dialogTemplate;
}

const DialogTemplate* DialogTemplateRegistry::Find(UINT id) {
    const auto it = Templates().find(id);
    return it == Templates().end() ? nullptr : it->second;
}

void DialogTemplateRegistry::Remove(UINT id) { Templates().erase(id); }

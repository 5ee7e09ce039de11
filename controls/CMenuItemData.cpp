#include "controls/CMenuItemData.h"

#include "platform/SystemInfo.h"

void CMenuItemData::SetAnsiText(const std::string& ansi) { text = SystemInfo::AnsiToWide(ansi); }

std::string CMenuItemData::GetAnsiText() const { return SystemInfo::WideToAnsi(text); }

#include "platform/MenuTemplate.h"

#include "platform/CMenu.h"
#include "platform/GdiDefs.h"
#include "platform/ResourceTable.h"

namespace {

class Reader {
public:
    Reader(const unsigned char* data, size_t size) : data_(data), size_(size) {}

    bool Word(UINT* value) {
        if (size_ - pos_ < 2) return false;
        *value = UINT(data_[pos_]) | (UINT(data_[pos_ + 1]) << 8);
        pos_ += 2;
        return true;
    }
    bool Skip(size_t bytes) {
        if (size_ - pos_ < bytes) return false;
        pos_ += bytes;
        return true;
    }
    // Zero-terminated UTF-16; surrogate pairs join, lone halves become U+FFFD.
    bool Text(std::wstring* text) {
        UINT unit = 0;
        while (Word(&unit)) {
            if (unit == 0) return true;
            if (unit >= 0xD800 && unit < 0xDC00) {
                size_t mark = pos_;
                UINT low = 0;
                if (Word(&low) && low >= 0xDC00 && low < 0xE000) {
                    text->push_back(wchar_t(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
                    continue;
                }
                pos_ = mark;
                text->push_back(wchar_t(0xFFFD));
            } else if (unit >= 0xDC00 && unit < 0xE000) {
                text->push_back(wchar_t(0xFFFD));
            } else {
                text->push_back(wchar_t(unit));
            }
        }
        return false;
    }

private:
    const unsigned char* data_;
    size_t size_;
    size_t pos_ = 0;
};

bool ParseLevel(Reader& reader, int depth, std::vector<MenuTemplateItem>* items) {
    if (depth > MenuTemplate::kMaxDepth) return false;
    for (;;) {
        MenuTemplateItem item;
        UINT flags = 0;
        if (!reader.Word(&flags)) return false;
        if (!(flags & MF_POPUP) && !reader.Word(&item.id)) return false;
        if (!reader.Text(&item.text)) return false;
        item.flags = flags & ~MF_END;
        if ((flags & MF_POPUP) && !ParseLevel(reader, depth + 1, &item.children)) return false;
        items->push_back(std::move(item));
        if (flags & MF_END) return true;
    }
}

void PutWord(std::vector<unsigned char>& out, UINT value) {
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

void PutText(std::vector<unsigned char>& out, const std::wstring& text) {
    for (wchar_t w : text) {
        const uint32_t c = uint32_t(w);
        if (c >= 0x10000 && c <= 0x10FFFF) {
            PutWord(out, 0xD800 + ((c - 0x10000) >> 10));
            PutWord(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            PutWord(out, c > 0xFFFF ? 0xFFFD : c);
        }
    }
    PutWord(out, 0);
}

void BuildLevel(std::vector<unsigned char>& out, const std::vector<MenuTemplateItem>& items) {
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuTemplateItem& item = items[i];
        const bool popup = (item.flags & MF_POPUP) != 0;
        PutWord(out, (item.flags & ~MF_END) | (i + 1 == items.size() ? MF_END : 0));
        if (!popup) PutWord(out, item.id);
        PutText(out, item.text);
        if (popup) BuildLevel(out, item.children);
    }
}

}  // namespace

bool MenuTemplate::Parse(const unsigned char* data, size_t size, std::vector<MenuTemplateItem>* items) {
    items->clear();
    if (!data) return false;
    Reader reader(data, size);
    UINT version = 0, offset = 0;
    if (!reader.Word(&version) || !reader.Word(&offset) || version != 0 || !reader.Skip(offset)) return false;
    if (!ParseLevel(reader, 1, items)) {
        items->clear();
        return false;
    }
    return true;
}

bool MenuTemplate::Load(UINT resourceId, std::vector<MenuTemplateItem>* items) {
    ResourceTable::Data data;
    items->clear();
    if (!ResourceTable::Instance().Find(RT_MENU, resourceId, &data)) return false;
    return Parse(data.data, data.size, items);
}

std::vector<unsigned char> MenuTemplate::Build(const std::vector<MenuTemplateItem>& items) {
    std::vector<unsigned char> out;
    PutWord(out, 0);
    PutWord(out, 0);
    BuildLevel(out, items);
    return out;
}

#include "dialog/PageRange.h"

#include "dialog/DecimalText.h"
#include "dialog/ImportOptions.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

bool IsTrimmedSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string Trimmed(const std::string& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsTrimmedSpace(text[begin]))
        ++begin;
    while (end > begin && IsTrimmedSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

void AppendItem(const std::string& item, int pageCount, std::vector<uint16_t>& pageList)
{
    const int lastPage = std::min(pageCount, MaxListedPage);
    size_t dash = item.find('-');
    if (dash == std::string::npos) {
        int page = ReadLeadingInt(item.c_str());
        if (page >= 1 && page <= lastPage)
            pageList.push_back(static_cast<uint16_t>(page));
        return;
    }
    int low = std::max(1, ReadLeadingInt(item.substr(0, dash).c_str()));
    int high = std::min(lastPage, ReadLeadingInt(item.c_str() + dash + 1));
    for (int page = low; page <= high; ++page)
        pageList.push_back(static_cast<uint16_t>(page));
}

std::string FormatPageRef(const PageObjectRef& ref, int pageIndex)
{
    char text[48];
    std::snprintf(text, sizeof text, "%d %d obj %d", ref.objectNumber, ref.generation, pageIndex);
    return text;
}

} // namespace

std::vector<uint16_t> ParsePageRange(const std::string& text, int pageCount)
{
    std::vector<uint16_t> pageList;
    // The text is a C string to the user; nothing after a zero byte counts.
    std::string rest = Trimmed(text.substr(0, std::strlen(text.c_str())));
    size_t comma;
    while ((comma = rest.find(',')) != std::string::npos) {
        AppendItem(rest.substr(0, comma), pageCount, pageList);
        rest.erase(0, comma + 1);
    }
    if (!rest.empty())
        AppendItem(rest, pageCount, pageList);
    return pageList;
}

bool IsPageListed(const std::vector<uint16_t>& pageList, int page)
{
    for (uint16_t listed : pageList) {
        if (listed == page)
            return true;
    }
    return false;
}

std::vector<std::string> CollectPageRefs(int rangeMode, const std::vector<uint16_t>& pageList,
                                         int currentPage, int pageCount, bool documentOpen,
                                         const PageReferenceFn& pageReference)
{
    std::vector<std::string> pageRefs;
    if (!documentOpen || pageCount <= 0)
        return pageRefs;

    auto addPage = [&](int page) {
        if (std::optional<PageObjectRef> ref = pageReference(page))
            pageRefs.push_back(FormatPageRef(*ref, page - 1));
    };

    if (rangeMode == ImportOptions::CurrentPage) {
        if (currentPage >= 1 && currentPage <= pageCount)
            addPage(currentPage);
        return pageRefs;
    }
    if (rangeMode == ImportOptions::PageList) {
        // Same answer as asking IsPageListed for every page, without its cost
        // of page count times list length on large documents.
        std::vector<bool> listed(static_cast<size_t>(std::min(pageCount, MaxListedPage)) + 1);
        for (uint16_t page : pageList) {
            if (page < listed.size())
                listed[page] = true;
        }
        for (int page = 1; page < static_cast<int>(listed.size()); ++page) {
            if (listed[static_cast<size_t>(page)])
                addPage(page);
        }
        return pageRefs;
    }
    for (int page = 1; page <= pageCount; ++page)
        addPage(page);
    return pageRefs;
}

size_t RangeListLength(const std::vector<std::string>& pageRefs)
{
    size_t length = 0;
    for (const std::string& entry : pageRefs)
        length += entry.size() + 1;
    return length;
}

std::unique_ptr<char[]> BuildRangeList(const std::vector<std::string>& pageRefs)
{
    const size_t length = RangeListLength(pageRefs);
    std::unique_ptr<char[]> buffer(new char[length + 1]);
    char* out = buffer.get();
    for (const std::string& entry : pageRefs) {
        std::memcpy(out, entry.data(), entry.size());
        out += entry.size();
        *out++ = ';';
    }
    *out = '\0';
    return buffer;
}

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

// Collects the pages of one parse, in order, repeats included until the
// list is full; after that only pages not yet listed are added.
class PageListBuilder {
public:
    explicit PageListBuilder(int pageCount)
        : m_lastPage(std::min(pageCount, MaxListedPage))
        , m_listed(static_cast<size_t>(std::max(m_lastPage, 0)) + 1)
    {
    }

    void AppendItem(const std::string& item)
    {
        size_t dash = item.find('-');
        if (dash == std::string::npos) {
            int page = ReadLeadingInt(item.c_str());
            if (page >= 1 && page <= m_lastPage)
                Append(page);
            return;
        }
        int low = std::max(1, ReadLeadingInt(item.substr(0, dash).c_str()));
        int high = std::min(m_lastPage, ReadLeadingInt(item.c_str() + dash + 1));
        for (int page = low; page <= high; ++page)
            Append(page);
    }

    std::vector<uint16_t> Take() { return std::move(m_pages); }

private:
    void Append(int page)
    {
        if (m_pages.size() >= MaxPageListEntries && m_listed[static_cast<size_t>(page)])
            return;
        m_listed[static_cast<size_t>(page)] = true;
        m_pages.push_back(static_cast<uint16_t>(page));
    }

    int m_lastPage;
    std::vector<bool> m_listed;
    std::vector<uint16_t> m_pages;
};

std::string FormatPageRef(const PageObjectRef& ref, int pageIndex)
{
    char text[48];
    std::snprintf(text, sizeof text, "%d %d obj %d", ref.objectNumber, ref.generation, pageIndex);
    return text;
}

} // namespace

std::vector<uint16_t> ParsePageRange(const std::string& text, int pageCount)
{
    PageListBuilder pageList(pageCount);
    // The text is a C string to the user; nothing after a zero byte counts.
    const std::string trimmed = Trimmed(text.substr(0, std::strlen(text.c_str())));
    size_t start = 0;
    size_t comma;
    while ((comma = trimmed.find(',', start)) != std::string::npos) {
        pageList.AppendItem(trimmed.substr(start, comma - start));
        start = comma + 1;
    }
    if (start < trimmed.size())
        pageList.AppendItem(trimmed.substr(start));
    return pageList.Take();
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

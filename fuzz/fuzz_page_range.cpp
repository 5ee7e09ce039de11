// Any text as a page range against a page count taken from the first three
// bytes (up to 17 bits, past the largest listed page); the parsed list and the range list text built from it must keep
// their promises (pages in range, references ascending and unique, the text
// as long as announced).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dialog/ImportOptions.h"
#include "dialog/PageRange.h"

namespace {

void CheckReferences(int rangeMode, const std::vector<uint16_t>& pages, int currentPage, int pageCount) {
    // Every third page has no object, as in a damaged page tree.
    const PageReferenceFn reference = [](int page) -> std::optional<PageObjectRef> {
        if (page % 3 == 0) return std::nullopt;
        return PageObjectRef{page * 2, page % 5};
    };
    const std::vector<std::string> refs = CollectPageRefs(rangeMode, pages, currentPage, pageCount, true, reference);
    int previous = -1;
    for (const std::string& ref : refs) {
        int object = 0, generation = 0, index = 0;
        if (std::sscanf(ref.c_str(), "%d %d obj %d", &object, &generation, &index) != 3) std::abort();
        if (index <= previous || index < 0 || index >= pageCount) std::abort();
        previous = index;
    }
    const std::unique_ptr<char[]> text = BuildRangeList(refs);
    if (std::strlen(text.get()) != RangeListLength(refs)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const int pageCount = (data[0] & 1) << 16 | data[1] << 8 | data[2];
    const int currentPage = data[0] >> 1;
    const std::string text(reinterpret_cast<const char*>(data + 3), size - 3);
    const std::vector<uint16_t> pages = ParsePageRange(text, pageCount);
    if (pages.size() > MaxPageListEntries + size_t(pageCount)) std::abort();
    for (uint16_t page : pages)
        if (page < 1 || page > pageCount) std::abort();
    // All pages of a long document cost a reference each: check them only
    // for documents small enough to keep the run fast.
    const int firstMode = pageCount <= 4096 ? ImportOptions::AllPages : ImportOptions::CurrentPage;
    for (int mode = firstMode; mode <= ImportOptions::PageList; ++mode)
        CheckReferences(mode, pages, currentPage, pageCount);
    return 0;
}

#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Turning the user's page choice into the list of page object references
// that the host receives.

// Object number and generation number of the object holding a page.
struct PageObjectRef {
    int objectNumber = 0;
    int generation = 0;
};

// Yields the object reference of page n (1-based) of the open document, or
// nothing when the document has none for it.
using PageReferenceFn = std::function<std::optional<PageObjectRef>(int page)>;

// Highest page number a page list can hold; its entries are 16-bit. Numbers
// above it are skipped rather than wrapped, and ranges stop there.
constexpr int MaxListedPage = 65535;

// Beyond this many entries a page list only takes pages it doesn't hold yet:
// every page named still counts, but a text of endless repeated ranges can't
// exhaust memory.
constexpr size_t MaxPageListEntries = size_t(1) << 20;

// Reads a text such as "1,3,5-12" into page numbers between 1 and pageCount,
// in the order written, repeats kept. Items are separated by ",", range ends
// by "-"; each number is read like atoi (saturating beyond 32 bits). Items
// naming no existing page are skipped silently. Repeats are kept up to
// MaxPageListEntries entries.
std::vector<uint16_t> ParsePageRange(const std::string& text, int pageCount);

// True when some entry of pageList equals page.
bool IsPageListed(const std::vector<uint16_t>& pageList, int page);

// One "obj gen obj index" text per selected page, in ascending page order,
// at most one per page; empty when no document is open. rangeMode takes the
// values of ImportOptions::RangeMode; unknown values select all pages.
std::vector<std::string> CollectPageRefs(int rangeMode, const std::vector<uint16_t>& pageList,
                                         int currentPage, int pageCount, bool documentOpen,
                                         const PageReferenceFn& pageReference);

// Length of the range list text: every entry followed by ";".
size_t RangeListLength(const std::vector<std::string>& pageRefs);

// The range list text in a buffer of exactly RangeListLength() + 1 bytes,
// allocated with new[].
std::unique_ptr<char[]> BuildRangeList(const std::vector<std::string>& pageRefs);

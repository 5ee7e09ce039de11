#include "dialog/ImportOptions.h"
#include "dialog/PageRange.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

using Pages = std::vector<uint16_t>;
using Refs = std::vector<std::string>;

struct RangeCase {
    const char* text;
    int pageCount;
    Pages expected;
};

void ExpectParses(const std::vector<RangeCase>& cases)
{
    for (const RangeCase& c : cases)
        EXPECT_EQ(ParsePageRange(c.text, c.pageCount), c.expected)
            << '"' << c.text << "\" with " << c.pageCount << " pages";
}

// Page n lives in object 3n + 1, generation n % 2; pages in `missing` have no
// reference.
PageReferenceFn FakeDocument(std::vector<int> missing = {})
{
    return [missing](int page) -> std::optional<PageObjectRef> {
        for (int m : missing) {
            if (m == page)
                return std::nullopt;
        }
        return PageObjectRef{3 * page + 1, page % 2};
    };
}

} // namespace

TEST(ParsePageRange, SingleItemsOnTenPages)
{
    ExpectParses({
        {"5", 10, {5}},
        {"0", 10, {}},
        {"11", 10, {}},
        {"3-6", 10, {3, 4, 5, 6}},
        {"6-3", 10, {}},
        {"8-15", 10, {8, 9, 10}},
        {"12-15", 10, {}},
        {"0-2", 10, {1, 2}},
        {"-4", 10, {1, 2, 3, 4}},
        {"4-", 10, {}},
        {"-", 10, {}},
        {"2-5-9", 10, {2, 3, 4, 5}},
        {"3 - 5", 10, {3, 4, 5}},
        {"4;6", 10, {4}},
        {"4 6", 10, {4}},
        {"x", 10, {}},
        {"+7", 10, {7}},
        {"7x", 10, {7}},
        {"7.9", 10, {7}},
        {"x7", 10, {}},
        {" 7 ", 10, {7}},
        {"3--5", 10, {}},
        {"-2-8", 10, {1, 2}},
        {"10-10", 10, {10}},
    });
}

TEST(ParsePageRange, WholeTexts)
{
    ExpectParses({
        {"1,3,5-12", 10, {1, 3, 5, 6, 7, 8, 9, 10}},
        {"1,2,3,", 10, {1, 2, 3}},
        {",,2,,", 10, {2}},
        {"", 10, {}},
        {"    ", 10, {}},
        {" \t\r\n 2,4 \n", 10, {2, 4}},
        {"3,3,3", 10, {3, 3, 3}},
        {"3,1,3", 10, {3, 1, 3}},
        {"5,1-3,2", 10, {5, 1, 2, 3, 2}},
        {",", 10, {}},
        {"2 ,  4", 10, {2, 4}},
        // No document: every number lies above a page count of 0.
        {"1,2,3-5", 0, {}},
        {"1", -3, {}},
    });
}

TEST(ParsePageRange, NumbersBeyondThirtyTwoBitsSaturate)
{
    ExpectParses({
        {"99999999999", 10, {}},
        {"1-99999999999", 10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"99999999999-2", 10, {}},
        {"-99999999999", 10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},  // a range from 1
        {"4294967297", 10, {}},  // 2^32 + 1 must not wrap round to page 1
        {"9-4294967297", 10, {9, 10}},
    });
}

TEST(ParsePageRange, PagesBeyondSixteenBitsAreNotWrapped)
{
    // A 16-bit list can't hold page 65537; it must not come back as page 1.
    ExpectParses({
        {"65535", 70000, {65535}},
        {"65536", 70000, {}},
        {"65537", 70000, {}},
        {"65534-65540", 70000, {65534, 65535}},
    });
}

TEST(ParsePageRange, EndlessRepeatsAreBoundedWithoutLosingPages)
{
    // Twenty ranges of 60000 pages overflow the list; a page named only
    // afterwards must still be listed, and later repeats are dropped.
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += "1-60000,";
    text += "65000,3,65000";
    Pages list = ParsePageRange(text, 65535);
    EXPECT_EQ(list.size(), MaxPageListEntries + 1);
    EXPECT_EQ(list.back(), 65000);
    EXPECT_EQ(list[60000], 1);  // repeats kept while there is room
    EXPECT_TRUE(IsPageListed(list, 65000));
}

TEST(ParsePageRange, LongTextIsReadInOnePass)
{
    // A million items: copying the rest of the text per item would move a
    // million megabytes.
    std::string text;
    for (int i = 0; i < 1000000; ++i)
        text += "x,";
    text += "7";
    EXPECT_EQ(ParsePageRange(text, 10), (Pages{7}));
}

TEST(ParsePageRange, TextEndsAtZeroByte)
{
    std::string text("2,3", 3);
    text += std::string("\0,5", 3);
    EXPECT_EQ(ParsePageRange(text, 10), (Pages{2, 3}));
}

TEST(IsPageListed, FindsAnyEntry)
{
    const Pages list{3, 1, 3};
    EXPECT_TRUE(IsPageListed(list, 1));
    EXPECT_TRUE(IsPageListed(list, 3));
    EXPECT_FALSE(IsPageListed(list, 2));
    EXPECT_FALSE(IsPageListed({}, 1));
    EXPECT_FALSE(IsPageListed(list, 3 + 65536));
}

TEST(CollectPageRefs, ModesAndDocuments)
{
    struct Case {
        const char* name;
        int mode;
        Pages pageList;
        int currentPage;
        int pageCount;
        bool open;
        std::vector<int> missing;
        Refs expected;
    };
    const Case cases[] = {
        {"all pages", ImportOptions::AllPages, {}, 1, 3, true, {},
         {"4 1 obj 0", "7 0 obj 1", "10 1 obj 2"}},
        {"all pages ignores the list", ImportOptions::AllPages, {2, 9}, 2, 2, true, {},
         {"4 1 obj 0", "7 0 obj 1"}},
        {"one page", ImportOptions::AllPages, {}, 1, 1, true, {}, {"4 1 obj 0"}},
        {"current page", ImportOptions::CurrentPage, {1}, 2, 3, true, {}, {"7 0 obj 1"}},
        {"current page out of range", ImportOptions::CurrentPage, {}, 4, 3, true, {}, {}},
        {"list in page order, once each", ImportOptions::PageList, {5, 1, 2, 3, 2}, 1, 6, true, {},
         {"4 1 obj 0", "7 0 obj 1", "10 1 obj 2", "16 1 obj 4"}},
        {"repeats give one entry", ImportOptions::PageList, {3, 3, 3}, 1, 5, true, {},
         {"10 1 obj 2"}},
        {"empty list", ImportOptions::PageList, {}, 1, 5, true, {}, {}},
        {"list beyond the page count", ImportOptions::PageList, {2, 8}, 1, 3, true, {},
         {"7 0 obj 1"}},
        {"unknown mode means all pages", 7, {}, 1, 2, true, {}, {"4 1 obj 0", "7 0 obj 1"}},
        {"no document", ImportOptions::AllPages, {1}, 1, 3, false, {}, {}},
        {"no document, current page", ImportOptions::CurrentPage, {}, 1, 3, false, {}, {}},
        {"pages without a reference are left out", ImportOptions::AllPages, {}, 1, 3, true, {2},
         {"4 1 obj 0", "10 1 obj 2"}},
        {"current page without a reference", ImportOptions::CurrentPage, {}, 2, 3, true, {2}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CollectPageRefs(c.mode, c.pageList, c.currentPage, c.pageCount, c.open,
                                  FakeDocument(c.missing)),
                  c.expected)
            << c.name;
    }
}

TEST(CollectPageRefs, FormatsFullIntegerRange)
{
    auto extreme = [](int) { return std::optional<PageObjectRef>(PageObjectRef{2147483647, -2147483647 - 1}); };
    EXPECT_EQ(CollectPageRefs(ImportOptions::AllPages, {}, 1, 1, true, extreme),
              (Refs{"2147483647 -2147483648 obj 0"}));
}

TEST(CollectPageRefs, LargeDocumentWithLongListStaysFast)
{
    // Every page listed on a document as large as a list can address: a
    // search per page through the whole list would take billions of steps.
    const int pages = 65535;
    Pages list = ParsePageRange("1-65535", pages);
    ASSERT_EQ(list.size(), 65535u);
    int asked = 0;
    auto document = [&asked](int page) {
        ++asked;
        return std::optional<PageObjectRef>(PageObjectRef{page, 0});
    };
    Refs refs = CollectPageRefs(ImportOptions::PageList, list, 1, pages, true, document);
    ASSERT_EQ(refs.size(), 65535u);
    EXPECT_EQ(asked, 65535);
    EXPECT_EQ(refs.front(), "1 0 obj 0");
    EXPECT_EQ(refs.back(), "65535 0 obj 65534");
}

TEST(BuildRangeList, JoinsEntriesEachFollowedBySemicolon)
{
    struct Case {
        Refs refs;
        const char* expected;
    };
    const Case cases[] = {
        {{}, ""},
        {{"4 0 obj 0"}, "4 0 obj 0;"},
        {{"4 0 obj 0", "9 0 obj 2"}, "4 0 obj 0;9 0 obj 2;"},
        {{"4 0 obj 0", "12 0 obj 1"}, "4 0 obj 0;12 0 obj 1;"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<char[]> list = BuildRangeList(c.refs);
        ASSERT_NE(list, nullptr);
        EXPECT_STREQ(list.get(), c.expected);
        EXPECT_EQ(RangeListLength(c.refs), std::strlen(c.expected));
    }
}

TEST(PageSelection, FromTextToRangeList)
{
    // The whole road at Convert: text, list, references, range list.
    struct Case {
        int mode;
        const char* text;
        int currentPage;
        int pageCount;
        const char* expected;
    };
    const Case cases[] = {
        {ImportOptions::PageList, "3,1,3", 1, 5, "4 1 obj 0;10 1 obj 2;"},
        {ImportOptions::PageList, "20-30", 1, 5, ""},
        {ImportOptions::AllPages, "x,,-,9-2,abc", 1, 2, "4 1 obj 0;7 0 obj 1;"},
        {ImportOptions::CurrentPage, "x,,-,9-2,abc", 2, 2, "7 0 obj 1;"},
    };
    for (const Case& c : cases) {
        Pages list = ParsePageRange(c.text, c.pageCount);
        Refs refs = CollectPageRefs(c.mode, list, c.currentPage, c.pageCount, true, FakeDocument());
        EXPECT_STREQ(BuildRangeList(refs).get(), c.expected) << c.text;
    }
}

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ImageTestSupport.h"
#include "image/RxIOFile.h"
#include "image/RxMemFile.h"

namespace {

class MemProbe : public RxMemFile {
public:
    using RxMemFile::RxMemFile;
    int32_t Edge() const { return edge; }
    unsigned char* Block() const { return buffer; }
    bool FreesOnClose() const { return freeOnClose; }
};

TEST(RxMemFile, ByteWiseWritingGrowsInSteps) {
    MemProbe file;
    ASSERT_TRUE(file.Open());
    for (int i = 0; i < 5000; ++i) ASSERT_TRUE(file.PutC(static_cast<unsigned char>(i)));
    EXPECT_EQ(file.Edge(), 8192);
    EXPECT_EQ(file.Size(), 5000);
    ASSERT_TRUE(file.Seek(100, SEEK_END));
    EXPECT_EQ(file.Tell(), 5100);
    EXPECT_TRUE(file.Eof());
    EXPECT_EQ(file.Error(), 1);
}

TEST(RxMemFile, ReadCountsWholeItemsAndAdvancesByBytes) {
    unsigned char block[20];
    for (int i = 0; i < 20; ++i) block[i] = static_cast<unsigned char>(i);
    RxMemFile file(block, sizeof(block));
    ASSERT_TRUE(file.Seek(11, SEEK_SET));
    uint32_t items[10] = {};
    EXPECT_EQ(file.Read(items, 4, 10), 2u);
    EXPECT_EQ(file.Tell(), 20);
    EXPECT_EQ(reinterpret_cast<unsigned char*>(items)[8], 19);
    EXPECT_EQ(file.GetC(), -1);
}

TEST(RxMemFile, WritingPastACallersBlockLeavesItUntouched) {
    unsigned char block[4] = {1, 2, 3, 4};
    MemProbe file(block, sizeof(block));
    EXPECT_FALSE(file.FreesOnClose());
    ASSERT_TRUE(file.Seek(0, SEEK_END));
    const char more[] = "more";
    EXPECT_EQ(file.Write(more, 1, 4), 4u);
    EXPECT_NE(file.Block(), block);
    EXPECT_TRUE(file.FreesOnClose());
    EXPECT_EQ(file.Size(), 8);
    EXPECT_EQ(std::memcmp(file.Block(), "\1\2\3\4more", 8), 0);
    EXPECT_EQ(block[3], 4);
}

TEST(RxMemFile, FailedGrowthFailsTheWriteAndKeepsTheBlock) {
    MemProbe file;
    ASSERT_TRUE(file.Open());
    ASSERT_EQ(file.Write("abc", 1, 3), 3u);
    unsigned char* before = file.Block();
    // Sizes whose total cannot be counted or lies beyond the 32-bit range.
    EXPECT_EQ(file.Write("x", SIZE_MAX / 2, 4), 0u);
    EXPECT_EQ(file.Write("x", 1, size_t(1) << 31), 0u);
    ASSERT_TRUE(file.Seek(INT32_MAX, SEEK_SET));
    EXPECT_FALSE(file.PutC('x'));
    EXPECT_EQ(file.Block(), before);
    EXPECT_EQ(file.Size(), 3);
    EXPECT_EQ(file.Edge(), 4096);
}

TEST(RxMemFile, WithoutABlock) {
    RxMemFile file;
    char byte = 0;
    EXPECT_EQ(file.Read(&byte, 1, 1), 0u);
    EXPECT_EQ(file.Write(&byte, 1, 1), 0u);
    EXPECT_FALSE(file.PutC('a'));
    EXPECT_EQ(file.GetC(), -1);
    EXPECT_FALSE(file.Seek(0, SEEK_SET));
    EXPECT_EQ(file.Tell(), -1);
    EXPECT_EQ(file.Size(), -1);
    EXPECT_FALSE(file.Flush());
    EXPECT_TRUE(file.Eof());
    EXPECT_EQ(file.Error(), -1);
    EXPECT_TRUE(file.Close());
}

TEST(RxMemFile, SeekRules) {
    unsigned char block[10] = {};
    RxMemFile file(block, sizeof(block));
    struct Case {
        int32_t offset;
        int origin;
        bool ok;
        int32_t position;
    } cases[] = {
        {4, SEEK_SET, true, 4},  {2, SEEK_CUR, true, 6},   {-1, SEEK_END, true, 9},
        {-20, SEEK_CUR, false, 9}, {5, 7, false, 9},        {30, SEEK_SET, true, 30},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(file.Seek(c.offset, c.origin), c.ok) << c.offset << "/" << c.origin;
        EXPECT_EQ(file.Tell(), c.position) << c.offset << "/" << c.origin;
    }
    // Beyond the end nothing can be read.
    char byte;
    EXPECT_EQ(file.Read(&byte, 1, 1), 0u);
}

TEST(RxMemFile, GetBufferHandsTheBlockOver) {
    unsigned char* block;
    {
        MemProbe file;
        ASSERT_TRUE(file.Open());
        ASSERT_EQ(file.Write("hello", 1, 5), 5u);
        block = file.GetBuffer();
        EXPECT_FALSE(file.FreesOnClose());
    }
    EXPECT_EQ(std::memcmp(block, "hello", 5), 0);
    std::free(block);
}

TEST(RxMemFile, CopiesShareTheBlockWithoutFreeingIt) {
    MemProbe file;
    ASSERT_TRUE(file.Open());
    ASSERT_EQ(file.Write("xyz", 1, 3), 3u);
    ASSERT_TRUE(file.Seek(0, SEEK_SET));
    {
        MemProbe copy(file);
        EXPECT_EQ(copy.Block(), file.Block());
        EXPECT_FALSE(copy.FreesOnClose());
        EXPECT_EQ(copy.GetC(), 'x');
        MemProbe assigned;
        ASSERT_TRUE(assigned.Open());
        assigned = file;
        EXPECT_EQ(assigned.Block(), file.Block());
    }
    // The copies are gone; the block is still ours (ASan would see a double free).
    EXPECT_EQ(file.GetC(), 'x');
}

TEST(RxMemFile, WritingBeyondTheEndFillsTheGapWithZeros) {
    MemProbe file;
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Seek(5, SEEK_SET));
    ASSERT_TRUE(file.PutC('!'));
    EXPECT_EQ(file.Size(), 6);
    EXPECT_EQ(std::memcmp(file.Block(), "\0\0\0\0\0!", 6), 0);
}

TEST(RxIOFile, CallersStreamStaysOpen) {
    TempFile temp("io.bin", "abcdef");
    FILE* stream = std::fopen(temp.Path(), "rb");
    ASSERT_NE(stream, nullptr);
    {
        RxIOFile file(stream);
        EXPECT_EQ(file.Size(), 6);
        EXPECT_EQ(file.GetC(), 'a');
        EXPECT_TRUE(file.Close());
        EXPECT_EQ(file.GetC(), 'b');
    }
    EXPECT_EQ(std::fgetc(stream), 'c');
    std::fclose(stream);
}

TEST(RxIOFile, CopiesShareTheStreamWithoutClosingIt) {
    TempFile temp("io3.bin", "pq");
    RxIOFile file;
    ASSERT_TRUE(file.Open(temp.Path(), "rb"));
    {
        RxIOFile copy(file);
        EXPECT_EQ(copy.GetC(), 'p');
    }
    EXPECT_EQ(file.GetC(), 'q');
}

TEST(RxIOFile, OpenedFileIsClosedAndCannotBeReopened) {
    TempFile temp("io2.bin", "xy");
    RxIOFile file;
    ASSERT_TRUE(file.Open(temp.Path(), "rb"));
    EXPECT_FALSE(file.Open(temp.Path(), "rb"));
    char two[2];
    EXPECT_EQ(file.Read(two, 1, 2), 2u);
    EXPECT_EQ(file.GetC(), -1);
    EXPECT_TRUE(file.Eof());
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(file.GetStream(), nullptr);
    EXPECT_TRUE(file.Eof());
    EXPECT_EQ(file.Error(), -1);
    EXPECT_EQ(file.Size(), -1);
    EXPECT_FALSE(file.PutC('z'));
}

TEST(RxIOFile, WideNames) {
    TempFile temp("wide.bin", "w");
    std::wstring name(temp.Path(), temp.Path() + std::strlen(temp.Path()));
    RxIOFile file;
    ASSERT_TRUE(file.Open(name.c_str(), L"rb"));
    EXPECT_EQ(file.GetC(), 'w');
}

}  // namespace

#include "dialog/ImportOptions.h"
#include "dialog/PageRange.h"

#include <gtest/gtest.h>

TEST(ImportOptions, StartsFromTheDefaults)
{
    ImportOptions options;
    EXPECT_EQ(options.pdfPath, "");
    EXPECT_EQ(options.rangeMode, ImportOptions::AllPages);
    EXPECT_EQ(options.rangeText, "");
    EXPECT_TRUE(options.pageList.empty());
    EXPECT_TRUE(options.pageRefs.empty());
    EXPECT_EQ(options.rangeList, nullptr);
    EXPECT_STREQ(options.RangeListText(), "");
    EXPECT_EQ(options.scale, 1.0);
    EXPECT_EQ(options.scaleToFit, 0);
    EXPECT_EQ(options.fillSolid, 1);
    EXPECT_EQ(options.keepLineWidth, 1);
    EXPECT_EQ(options.imageOptions.imageToDwg, 0);
    EXPECT_EQ(options.imageOptions.lineType, 1);
    EXPECT_EQ(options.imageOptions.background, 1);
    EXPECT_EQ(options.imageOptions.ignoreColor, 1);
    EXPECT_EQ(options.imageOptions.appendFile, 1);
    EXPECT_EQ(options.imageOptions.layoutPerImage, 0);
}

TEST(ImportOptions, RangeListChangesHandsOnce)
{
    ImportOptions options;
    options.rangeList = BuildRangeList({"4 0 obj 0"});
    EXPECT_STREQ(options.RangeListText(), "4 0 obj 0;");

    char* handed = options.ReleaseRangeList();
    ASSERT_NE(handed, nullptr);
    EXPECT_STREQ(handed, "4 0 obj 0;");
    EXPECT_EQ(options.rangeList, nullptr);
    EXPECT_STREQ(options.RangeListText(), "");
    EXPECT_EQ(options.ReleaseRangeList(), nullptr);
    delete[] handed;  // the way a host releases it
}

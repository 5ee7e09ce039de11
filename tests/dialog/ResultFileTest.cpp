#include "host/ResultFile.h"

#include "dialog/ImportOptions.h"
#include "dialog/PageRange.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Sets an environment variable for one scope, restoring it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

} // namespace

TEST(ResultFile, TextHoldsSixLinesEachEndingInCarriageReturnLineFeed)
{
    struct Case {
        const char* name;
        void (*setUp)(ImportOptions&);
        const char* expected;
    };
    const Case cases[] = {
        {"two pages, default options",
         [](ImportOptions& o) {
             o.pdfPath = "/plans/site.pdf";
             o.rangeList = BuildRangeList({"4 0 obj 0", "12 0 obj 1"});
         },
         "InputFile:/plans/site.pdf\r\nRanglist:4 0 obj 0;12 0 obj 1;\r\nScale:1.000000\r\n"
         "Scale it:0\r\nFill it:1\r\nHas width:1\r\n"},
        {"no page selected",
         [](ImportOptions& o) {
             o.pdfPath = "a.pdf";
             o.rangeList = BuildRangeList({});
         },
         "InputFile:a.pdf\r\nRanglist:\r\nScale:1.000000\r\nScale it:0\r\nFill it:1\r\nHas width:1\r\n"},
        {"no range list built", [](ImportOptions& o) { o.pdfPath = "a.pdf"; },
         "InputFile:a.pdf\r\nRanglist:\r\nScale:1.000000\r\nScale it:0\r\nFill it:1\r\nHas width:1\r\n"},
        {"scale to fit, outline, thin lines",
         [](ImportOptions& o) {
             o.pdfPath = "b c.pdf";
             o.scaleToFit = 1;
             o.scale = -1.0;
             o.fillSolid = 0;
             o.keepLineWidth = 0;
         },
         "InputFile:b c.pdf\r\nRanglist:\r\nScale:-1.000000\r\nScale it:1\r\nFill it:0\r\nHas width:0\r\n"},
        {"scale rounded to six decimals",
         [](ImportOptions& o) { o.scale = 0.12345678; },
         "InputFile:\r\nRanglist:\r\nScale:0.123457\r\nScale it:0\r\nFill it:1\r\nHas width:1\r\n"},
        {"large scale in fixed notation",
         [](ImportOptions& o) { o.scale = 1e20; },
         "InputFile:\r\nRanglist:\r\nScale:100000000000000000000.000000\r\nScale it:0\r\nFill it:1\r\n"
         "Has width:1\r\n"},
    };
    for (const Case& c : cases) {
        ImportOptions options;
        c.setUp(options);
        EXPECT_EQ(ResultFile::Text(options), c.expected) << c.name;
    }
}

TEST(ResultFile, WriteReplacesEarlierContent)
{
    TempFolder folder;
    const std::string path = folder.File("PDFInfo.dat");
    TempFolder::Write(path, std::string(4000, '#'));
    ImportOptions options;
    options.pdfPath = "/x.pdf";
    options.rangeList = BuildRangeList({"4 0 obj 0"});
    ASSERT_TRUE(ResultFile(path).Write(options));
    EXPECT_EQ(TempFolder::Read(path), ResultFile::Text(options));
}

TEST(ResultFile, WriteFailsWhenFileCannotBeCreated)
{
    TempFolder folder;
    ImportOptions options;
    EXPECT_FALSE(ResultFile(folder.File("missing/PDFInfo.dat")).Write(options));
    EXPECT_FALSE(ResultFile(folder.Path()).Write(options));
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(ResultFile("/dev/full").Write(options));
    }
}

TEST(ResultFile, NamePlantedInTheTemporaryDirectoryIsNotFollowed)
{
    // Another user of a shared /tmp may place a link or a FIFO at the name.
    TempFolder folder;
    const std::string victim = folder.File("victim.txt");
    TempFolder::Write(victim, "precious");
    const std::string link = folder.File("link.dat");
    ASSERT_EQ(symlink(victim.c_str(), link.c_str()), 0);
    const std::string fifo = folder.File("fifo.dat");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    ImportOptions options;
    options.pdfPath = "p.pdf";
    EXPECT_FALSE(ResultFile(link).Write(options));
    EXPECT_EQ(TempFolder::Read(victim), "precious");
    EXPECT_FALSE(ResultFile(fifo).Write(options));
}

TEST(ResultFile, LivesInTheTemporaryDirectory)
{
    struct Case {
        const char* tmpdir;
        const char* expected;
    };
    const Case cases[] = {
        {nullptr, "/tmp/"},
        {"", "/tmp/"},
        {"/var/tmp", "/var/tmp/"},
        {"/var/tmp/", "/var/tmp/"},
        {"relative", "relative/"},
    };
    for (const Case& c : cases) {
        ScopedEnv env("TMPDIR", c.tmpdir);
        EXPECT_EQ(ResultFile().Path(), std::string(c.expected) + "PDFInfo.dat")
            << (c.tmpdir ? c.tmpdir : "(unset)");
    }
}

TEST(ResultFile, DefaultPlaceIsWritten)
{
    TempFolder folder;
    ScopedEnv env("TMPDIR", folder.Path().c_str());
    ImportOptions options;
    options.pdfPath = "p.pdf";
    ResultFile file;
    ASSERT_TRUE(file.Write(options));
    EXPECT_EQ(TempFolder::Read(folder.File("PDFInfo.dat")), ResultFile::Text(options));
}

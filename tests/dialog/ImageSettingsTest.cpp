#include "dialog/ImageSettings.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char DefaultText[] =
    "LineType:1\r\nbackground:1\r\nImageToDWG:0\r\nAppendFile:1\r\nIgnoreColor:1\r\nLayoutpreImg:0\r\n";

struct Values {
    int imageToDwg, lineType, background, ignoreColor, appendFile, layoutPerImage;
};

Values ValuesOf(const ImageSettings& s)
{
    return {s.imageToDwg, s.lineType, s.background, s.ignoreColor, s.appendFile, s.layoutPerImage};
}

bool operator==(const Values& a, const Values& b)
{
    return a.imageToDwg == b.imageToDwg && a.lineType == b.lineType && a.background == b.background
        && a.ignoreColor == b.ignoreColor && a.appendFile == b.appendFile
        && a.layoutPerImage == b.layoutPerImage;
}

std::ostream& operator<<(std::ostream& out, const Values& v)
{
    return out << "{imageToDwg " << v.imageToDwg << ", lineType " << v.lineType << ", background "
               << v.background << ", ignoreColor " << v.ignoreColor << ", appendFile "
               << v.appendFile << ", layoutPerImage " << v.layoutPerImage << "}";
}

const Values Defaults{0, 1, 1, 1, 1, 0};

} // namespace

TEST(ImageSettings, DefaultsAreWrittenAsEightyFiveBytes)
{
    TempFolder folder;
    const std::string path = folder.File("ImageSet.dat");
    ImageSettings settings;
    EXPECT_EQ(ValuesOf(settings), Defaults);
    ASSERT_TRUE(settings.Save(path));
    const std::string bytes = TempFolder::Read(path);
    EXPECT_EQ(bytes.size(), 85u);
    EXPECT_EQ(bytes, DefaultText);
}

TEST(ImageSettings, LoadsEachKindOfLine)
{
    struct Case {
        const char* name;
        std::string file;
        Values expected;
    };
    const std::string longPad(1100, 'x');
    const Case cases[] = {
        {"own output", DefaultText, Defaults},
        {"every key changed", "LineType:0\r\nbackground:0\r\nImageToDWG:1\r\nAppendFile:0\r\n"
                              "IgnoreColor:0\r\nLayoutpreImg:1\r\n",
         {1, 0, 0, 0, 0, 1}},
        {"lower case, bare line feed", "linetype:0\n", {0, 0, 1, 1, 1, 0}},
        {"upper case", "IMAGETODWG:1\nBACKGROUND:0", {1, 1, 0, 1, 1, 0}},
        {"blank before the key", " LineType:0\n", Defaults},
        {"blank after the key", "LineType :0\n", Defaults},
        {"second colon ends the value", "AppendFile:1:2\n", Defaults},
        {"second colon, other value", "AppendFile:0:1\n", {0, 1, 1, 1, 0, 0}},
        {"nothing after the colon", "IgnoreColor:\n", {0, 1, 1, 0, 1, 0}},
        {"blank after the colon", "LayoutpreImg: 7\n", {0, 1, 1, 1, 1, 7}},
        {"value not a number", "LineType:abc\n", {0, 0, 1, 1, 1, 0}},
        {"negative value", "background:-3\n", {0, 1, -3, 1, 1, 0}},
        {"value beyond 32 bits saturates", "ImageToDWG:99999999999\n", {2147483647, 1, 1, 1, 1, 0}},
        {"no colon", "LineType 0\n\nbackground\n", Defaults},
        {"unknown key", "Colour:5\nLineTypes:0\n", Defaults},
        {"last value wins", "LineType:0\nLineType:5\nLineType:3\n", {0, 3, 1, 1, 1, 0}},
        {"last line without line end", "LineType:1\r\nLayoutpreImg:1", {0, 1, 1, 1, 1, 1}},
        {"carriage return alone stays in the value", "LineType:4\rbackground:0\n", {0, 4, 1, 1, 1, 0}},
        {"carriage return at the end of the file", "LineType:0\r", {0, 0, 1, 1, 1, 0}},
        {"empty file", "", Defaults},
        {"zero byte ends the line", std::string("LineType:0\0background:0\n", 25), {0, 0, 1, 1, 1, 0}},
        // A 1023-character piece ends a line early; the rest is read as lines of its own.
        {"long line split into pieces", "LineType:0" + longPad + "\r\nbackground:0\r\n",
         {0, 0, 0, 1, 1, 0}},
        {"key in the second piece", std::string(1023, 'y') + "LineType:6\n", {0, 6, 1, 1, 1, 0}},
        {"piece boundary splits a key", std::string(1020, 'z') + "LineType:6\n", Defaults},
        {"CR LF at the piece boundary", std::string(1022, 'q') + "\r\nLineType:0\r\n",
         {0, 0, 1, 1, 1, 0}},
    };
    TempFolder folder;
    const std::string path = folder.File("ImageSet.dat");
    for (const Case& c : cases) {
        TempFolder::Write(path, c.file);
        ImageSettings settings;
        EXPECT_TRUE(settings.Load(path)) << c.name;
        EXPECT_EQ(ValuesOf(settings), c.expected) << c.name;
    }
}

TEST(ImageSettings, RewritesNormalised)
{
    TempFolder folder;
    const std::string path = folder.File("ImageSet.dat");
    TempFolder::Write(path, "junk line\nlinetype:0\nLayoutpreImg: 7\nColour:3\n\n");
    ImageSettings settings;
    ASSERT_TRUE(settings.Load(path));
    ASSERT_TRUE(settings.Save(path));
    EXPECT_EQ(TempFolder::Read(path),
              "LineType:0\r\nbackground:1\r\nImageToDWG:0\r\nAppendFile:1\r\nIgnoreColor:1\r\n"
              "LayoutpreImg:7\r\n");
}

TEST(ImageSettings, SaveReplacesLongerContent)
{
    TempFolder folder;
    const std::string path = folder.File("ImageSet.dat");
    TempFolder::Write(path, std::string(5000, 'a'));
    ImageSettings settings;
    settings.background = -12;
    ASSERT_TRUE(settings.Save(path));
    EXPECT_EQ(TempFolder::Read(path),
              "LineType:1\r\nbackground:-12\r\nImageToDWG:0\r\nAppendFile:1\r\nIgnoreColor:1\r\n"
              "LayoutpreImg:0\r\n");
}

TEST(ImageSettings, MissingFileKeepsCurrentValues)
{
    TempFolder folder;
    ImageSettings settings;
    settings.lineType = 0;
    EXPECT_FALSE(settings.Load(folder.File("absent.dat")));
    EXPECT_EQ(ValuesOf(settings), (Values{0, 0, 1, 1, 1, 0}));
}

TEST(ImageSettings, UnwritablePlaceFailsCleanly)
{
    TempFolder folder;
    ImageSettings settings;
    EXPECT_FALSE(settings.Save(folder.File("no-such-folder/ImageSet.dat")));
    EXPECT_FALSE(settings.Save(folder.Path()));  // a folder, not a file
    EXPECT_FALSE(std::filesystem::exists(folder.File("no-such-folder")));
}

TEST(ImageSettings, FullDiskIsReportedAsFailure)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    ImageSettings settings;
    EXPECT_FALSE(settings.Save("/dev/full"));
}

TEST(ImageSettings, SettingsFileLivesBesideTheExecutable)
{
    const std::string folder = ImageSettings::SettingsFolder();
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(folder, exe.parent_path().string());
    EXPECT_NE(folder.back(), '/');
    EXPECT_EQ(ImageSettings::SettingsPath(), folder + "/ImageSet.dat");
}

TEST(ImageSettings, OnlyRegularFilesAreReadOrWritten)
{
    // A FIFO without a writer would block a plain open for ever; /dev/zero
    // would feed the reader without end.
    TempFolder folder;
    const std::string fifo = folder.File("fifo.dat");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string zero = folder.File("zero.dat");
    ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);

    for (const std::string& path : {fifo, zero}) {
        ImageSettings settings;
        settings.lineType = 0;
        EXPECT_FALSE(settings.Load(path)) << path;
        EXPECT_EQ(ValuesOf(settings), (Values{0, 0, 1, 1, 1, 0})) << path;
        EXPECT_FALSE(settings.Save(path)) << path;
    }
}

TEST(ImageSettings, LinkToARegularFileIsFollowed)
{
    TempFolder folder;
    const std::string target = folder.File("real.dat");
    const std::string link = folder.File("ImageSet.dat");
    TempFolder::Write(target, "LineType:0\n");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ImageSettings settings;
    ASSERT_TRUE(settings.Load(link));
    EXPECT_EQ(settings.lineType, 0);
    ASSERT_TRUE(settings.Save(link));
    EXPECT_EQ(TempFolder::Read(target).substr(0, 12), "LineType:0\r\n");
    // The new contents replace the file the link names, not the link.
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()), 2);
}

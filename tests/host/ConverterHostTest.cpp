// The converter window end to end: the demo host calls an entry point, a
// script plays the user, and the test reads what the host received.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>

#include "../preview/PdfFixture.h"
#include "HostRun.h"

namespace {

std::string ResultFileOf(const std::string& path, const std::string& ranges, const std::string& scale,
                         int scaleToFit) {
    return "InputFile:" + path + "\r\nRanglist:" + ranges + "\r\nScale:" + scale + "\r\nScale it:" +
           std::to_string(scaleToFit) + "\r\nFill it:1\r\nHas width:1\r\n";
}

// The page objects as an independent reader sees them: page n -> "num gen".
std::map<int, std::string> PageObjects(const std::string& pdf) {
    const std::string listing = HostRun::Read(pdf + ".pages");
    std::map<int, std::string> pages;
    const std::regex line("page (\\d+): (\\d+) (\\d+) R");
    for (std::sregex_iterator it(listing.begin(), listing.end(), line), end; it != end; ++it)
        pages[std::stoi((*it)[1])] = (*it)[2].str() + " " + (*it)[3].str();
    return pages;
}

std::string ExpectedRanges(const std::string& pdf, std::initializer_list<int> pages) {
    const std::map<int, std::string> objects = PageObjects(pdf);
    std::string text;
    for (int page : pages) text += objects.at(page) + " obj " + std::to_string(page - 1) + ";";
    return text;
}

struct ConverterTest : ::testing::Test {
    HostRun host;

    std::string MakeDocument(const std::string& name, int pages) {
        const std::string path = host.File(name);
        WritePdf(path, std::vector<PdfPageSpec>(size_t(pages)));
        const std::string command = "qpdf --show-pages '" + path + "' > '" + path + ".pages'";
        EXPECT_EQ(std::system(command.c_str()), 0) << "qpdf lists the pages";
        return path;
    }
    std::string ResultFile() const { return HostRun::Read(host.Temp() + "PDFInfo.dat"); }
};

TEST_F(ConverterTest, DefaultsGiveSixLinesWithCarriageReturns) {
    const std::string pdf = MakeDocument("three.pdf", 3);
    const HostResult run = host.Run({"click 1006", "choose-file " + pdf, "click 1"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(ResultFile(), ResultFileOf(pdf, ExpectedRanges(pdf, {1, 2, 3}), "1.000000", 0));
}

TEST_F(ConverterTest, DrawingOptionsReachTheResultFile) {
    const std::string pdf = MakeDocument("one.pdf", 1);
    struct Case {
        std::vector<std::string> advanced;
        std::string scale;
        int scaleToFit;
        bool numberMessage;
    } cases[] = {
        {{"type 1005 0.5"}, "0.500000", 0, false},
        {{"type 1005 2.5", "click 1023"}, "-1.000000", 1, false},
        {{"type 1005 abc"}, "1.000000", 0, true},
    };
    for (const Case& c : cases) {
        std::vector<std::string> script{"click 1006", "choose-file " + pdf, "tab 1"};
        script.insert(script.end(), c.advanced.begin(), c.advanced.end());
        script.push_back("click 1");
        if (c.numberMessage) script.push_back("answer ok");
        const HostResult run = host.Run(script);
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(ResultFile(), ResultFileOf(pdf, ExpectedRanges(pdf, {1}), c.scale, c.scaleToFit))
            << c.advanced.front();
        EXPECT_EQ(run.err.find("message box: Please enter a number.") != std::string::npos, c.numberMessage)
            << run.err;
    }
}

TEST_F(ConverterTest, EmptyPathIsReportedAndTheWindowStaysOpen) {
    const std::string pdf = MakeDocument("one.pdf", 1);
    const HostResult run = host.Run({"click 1", "answer ok", "type 1032 " + pdf, "click 1"});
    EXPECT_NE(run.err.find("message box: Input PDF file is empty."), std::string::npos) << run.err;
    EXPECT_EQ(run.exitStatus, 0);
    // A typed path without browsing: no document, so no pages.
    EXPECT_EQ(ResultFile(), ResultFileOf(pdf, "", "1.000000", 0));
}

TEST_F(ConverterTest, CancellingTouchesNothing) {
    std::ofstream(host.Temp() + "PDFInfo.dat", std::ios::binary) << "earlier result";
    const std::string pdf = MakeDocument("one.pdf", 1);
    for (const char* cancel : {"click 2", "key Escape"}) {
        for (const char* entry : {"GetPDFInfo2Out", "GetPDFInfo", "GetPDFInfoOut", "GetPDFInfo2"}) {
            const HostResult run = host.Run({"click 1006", "choose-file " + pdf, cancel}, entry);
            EXPECT_EQ(run.exitStatus, 1) << cancel << " " << entry;
            EXPECT_NE(run.out.find("result: 0"), std::string::npos) << run.out;
            EXPECT_EQ(run.out.find("warning"), std::string::npos) << run.out;
        }
    }
    EXPECT_EQ(ResultFile(), "earlier result");
}

TEST_F(ConverterTest, OutParameterEntryHandsOverPathAndFlags) {
    const std::string pdf = MakeDocument("two.pdf", 2);
    const HostResult run =
        host.Run({"click 1006", "choose-file " + pdf, "tab 1", "click 1020", "click 1027", "click 1"},
                 "GetPDFInfo");
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("InputFile: " + pdf + "\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Ranglist: " + ExpectedRanges(pdf, {1, 2}) + "\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Scale it: 0\nFill it: 0\nHas width: 0\n"), std::string::npos) << run.out;
}

TEST_F(ConverterTest, UnwritableTemporaryDirectoryGivesResultZero) {
    const std::string pdf = MakeDocument("one.pdf", 1);
    const HostResult run = host.Run({"click 1006", "choose-file " + pdf, "click 1"}, "GetPDFInfo2Out",
                                    host.File("no/such/folder/"));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.out.find("result: 0"), std::string::npos) << run.out;
    EXPECT_EQ(run.err.find("message box"), std::string::npos) << run.err;
}

TEST_F(ConverterTest, PageChoicesBecomeObjectReferencesInPageOrder) {
    const std::string ten = MakeDocument("ten.pdf", 10);
    const std::string one = MakeDocument("one.pdf", 1);
    struct Case {
        std::string pdf;
        std::vector<std::string> choice;
        std::vector<int> pages;
    } cases[] = {
        {ten, {"click 1014", "type 1015 1,3,5-12"}, {1, 3, 5, 6, 7, 8, 9, 10}},
        {ten, {"click 1014", "type 1015 3,1,3"}, {1, 3}},
        {ten, {"click 1014", "type 1015 -3"}, {1, 2, 3}},
        {ten, {"click 1014", "type 1015 2-5-9"}, {2, 3, 4, 5}},
        {ten, {"click 1014", "type 1015 9-40"}, {9, 10}},
        {ten, {"click 1014", "type 1015 11,0,x"}, {}},
        {ten, {"key Down", "click 1013"}, {2}},
        {ten, {"click 1013", "key PageDown", "key PageDown", "key Up"}, {2}},
        {one, {}, {1}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> script{"click 1006", "choose-file " + c.pdf};
        script.insert(script.end(), c.choice.begin(), c.choice.end());
        script.push_back("click 1");
        const HostResult run = host.Run(script);
        ASSERT_EQ(run.exitStatus, 0) << run.err;
        std::string ranges;
        for (int page : c.pages) ranges += ExpectedRanges(c.pdf, {page});
        EXPECT_EQ(ResultFile(), ResultFileOf(c.pdf, ranges, "1.000000", 0)) << ::testing::PrintToString(c.choice);
    }
}

TEST_F(ConverterTest, SettingsFileIsWrittenBesideTheProgram) {
    const HostResult run = host.Run({"key Escape"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(HostRun::Read(host.File("ImageSet.dat")),
              "LineType:1\r\nbackground:1\r\nImageToDWG:0\r\nAppendFile:1\r\nIgnoreColor:1\r\nLayoutpreImg:0\r\n");
    std::ofstream(host.File("ImageSet.dat"), std::ios::binary) << "linetype:0\nLayoutpreImg: 7\nno colon\n";
    host.Run({"key Escape"});
    EXPECT_EQ(HostRun::Read(host.File("ImageSet.dat")),
              "LineType:0\r\nbackground:1\r\nImageToDWG:0\r\nAppendFile:1\r\nIgnoreColor:1\r\nLayoutpreImg:7\r\n");
}

std::string ControlLine(const std::string& dump, int id, const std::string& kind) {
    std::istringstream lines(dump);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t start = line.find_first_not_of(' ');
        if (line.compare(start, std::to_string(id).size() + 1, std::to_string(id) + " ") == 0 &&
            line.find("kind=" + kind) != std::string::npos)
            return line;
    }
    return "";
}

TEST_F(ConverterTest, StepsFollowThePageCount) {
    const std::string three = MakeDocument("three.pdf", 3);
    const std::string dump = host.File("dump.txt");
    const HostResult run = host.Run({"dump " + dump + ".fresh", "key Down", "click 1006", "choose-file " + three,
                                     "dump " + dump + ".loaded", "click 1003", "click 1003", "key Down",
                                     "dump " + dump + ".last", "key Escape"});
    ASSERT_EQ(run.exitStatus, 1) << run.err;
    const std::string fresh = HostRun::Read(dump + ".fresh");
    EXPECT_NE(ControlLine(fresh, 1002, "Button").find("enabled=0"), std::string::npos);
    EXPECT_NE(ControlLine(fresh, 1003, "Button").find("enabled=0"), std::string::npos);
    EXPECT_NE(ControlLine(fresh, 1004, "Static").find("text=\"  \""), std::string::npos);
    EXPECT_NE(ControlLine(fresh, 1044, "Static").find("enabled=0"), std::string::npos);

    const std::string loaded = HostRun::Read(dump + ".loaded");
    EXPECT_NE(ControlLine(loaded, 1004, "Static").find("text=\"1\""), std::string::npos) << loaded;
    EXPECT_NE(ControlLine(loaded, 1005, "Static").find("text=\"3\""), std::string::npos);
    EXPECT_NE(ControlLine(loaded, 1003, "Button").find("enabled=1"), std::string::npos);
    EXPECT_NE(ControlLine(loaded, 1044, "Static").find("enabled=1"), std::string::npos);

    const std::string last = HostRun::Read(dump + ".last");
    EXPECT_NE(ControlLine(last, 1004, "Static").find("text=\"3\""), std::string::npos) << last;
    EXPECT_NE(ControlLine(last, 1003, "Button").find("enabled=0"), std::string::npos);
    EXPECT_NE(ControlLine(last, 1002, "Button").find("enabled=1"), std::string::npos);
}

TEST_F(ConverterTest, PageImagesAreReusedAndOverwritten) {
    const std::string three = MakeDocument("three.pdf", 3);
    const std::string other = host.File("other.pdf");
    PdfPageSpec landscape;
    landscape.width = 792;
    landscape.height = 612;
    WritePdf(other, {landscape});
    const std::string first = host.Temp() + "ATemp1.ppm";
    auto size = [](const std::string& path) {
        struct stat info {};
        return stat(path.c_str(), &info) == 0 ? long(info.st_size) : -1L;
    };
    // Every page shown gets its file; the next document's page 1 replaces
    // the first document's.
    host.Run({"click 1006", "choose-file " + three, "key Down", "key Escape"});
    const long portrait = size(first);
    EXPECT_GT(portrait, 0);
    EXPECT_GT(size(host.Temp() + "ATemp2.ppm"), 0);
    host.Run({"click 1006", "choose-file " + other, "key Escape"});
    EXPECT_NE(size(first), portrait) << "a second document overwrites ATemp1.ppm";
}

TEST_F(ConverterTest, FileThatIsNoPdfKeepsThePreviousDocument) {
    const std::string three = MakeDocument("three.pdf", 3);
    std::ofstream(host.File("notes.pdf")) << "not a PDF at all";
    const std::string dump = host.File("dump.txt");
    const HostResult run = host.Run({"click 1006", "choose-file " + three, "click 1006",
                                     "choose-file " + host.File("notes.pdf"), "dump " + dump, "key Escape"});
    EXPECT_EQ(run.err.find("message box"), std::string::npos) << run.err;
    const std::string after = HostRun::Read(dump);
    EXPECT_NE(ControlLine(after, 1005, "Static").find("text=\"3\""), std::string::npos) << after;
}

TEST_F(ConverterTest, LongAndEmptyDocuments) {
    const std::string many = MakeDocument("many.pdf", 250);
    HostResult run = host.Run({"click 1006", "choose-file " + many, "click 1"});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    std::string ranges;
    for (int page = 1; page <= 250; ++page) ranges += ExpectedRanges(many, {page});
    EXPECT_EQ(ResultFile(), ResultFileOf(many, ranges, "1.000000", 0));

    // A page tree that counts no page opens, but there is nothing to show.
    const std::string empty = host.File("empty.pdf");
    WritePdf(empty, {});
    const std::string dump = host.File("dump.txt");
    run = host.Run({"click 1006", "choose-file " + empty, "dump " + dump, "click 1"});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const std::string after = HostRun::Read(dump);
    EXPECT_NE(ControlLine(after, 1044, "Static").find("enabled=0"), std::string::npos) << after;
    EXPECT_NE(ControlLine(after, 1003, "Button").find("enabled=0"), std::string::npos);
    EXPECT_NE(ControlLine(after, 1005, "Static").find("text=\"  \""), std::string::npos);
    EXPECT_EQ(ResultFile(), ResultFileOf(empty, "", "1.000000", 0));
}

TEST_F(ConverterTest, OnePageDocumentEnablesOnlyTheLink) {
    const std::string one = MakeDocument("one.pdf", 1);
    const std::string dump = host.File("dump.txt");
    const HostResult run = host.Run({"click 1006", "choose-file " + one, "dump " + dump, "key Escape"});
    ASSERT_EQ(run.exitStatus, 1) << run.err;
    const std::string after = HostRun::Read(dump);
    EXPECT_NE(ControlLine(after, 1002, "Button").find("enabled=0"), std::string::npos) << after;
    EXPECT_NE(ControlLine(after, 1003, "Button").find("enabled=0"), std::string::npos);
    EXPECT_NE(ControlLine(after, 1044, "Static").find("enabled=1"), std::string::npos);
    EXPECT_NE(ControlLine(after, 1004, "Static").find("text=\"1\""), std::string::npos);
    EXPECT_NE(ControlLine(after, 1005, "Static").find("text=\"1\""), std::string::npos);
}

}  // namespace

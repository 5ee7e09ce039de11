// The files an import writes, in folders that refuse them: the temporary
// directory (page images, PDFInfo.dat) and the program's folder
// (ImageSet.dat), each read-only or full. Each case runs the demo host in a
// private mount namespace with a small file system mounted over the folder,
// and reads back what the host got and what stayed on disk.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "../preview/PdfFixture.h"
#include "HostRun.h"

namespace {

enum class Folder { Temporary, Program };
enum class Fault { ReadOnly, Full };

struct Outcome {
    int exitStatus = -1;
    std::string out, err;
    std::string resultFile;    // PDFInfo.dat after the run
    std::string settingsFile;  // ImageSet.dat after the run
    std::string tempListing;   // the names in the temporary directory after the run
};

const char kEarlierResult[] = "InputFile:earlier.pdf\r\nRanglist:1 0 obj 0;\r\n";
const char kEarlierSettings[] = "LineType:0\r\nbackground:0\r\nImageToDWG:1\r\nAppendFile:0\r\nIgnoreColor:0\r\nLayoutpreImg:1\r\n";

class FaultInjectionTest : public ::testing::Test {
protected:
    TempFolder folder;

    void SetUp() override {
        // A private mount namespace keeps the small file systems to the run.
        if (std::system("unshare -m sh -c 'mount -t tmpfs -o size=8k tmpfs /mnt' >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "no private mount namespace with tmpfs here: the cases need one";
    }

    std::string Document(int pages) const { return folder.File(std::to_string(pages) + ".pdf"); }

    // Runs one import that chooses a document of `pages` pages and presses
    // Convert, with `fault` on `where`. Both files start with earlier
    // contents, except the settings file in a full folder: rewritten in
    // place, its own blocks would hold the same new contents.
    Outcome Import(Folder where, Fault fault, const std::string& entry, int pages = 3) {
        WritePdf(Document(pages), std::vector<PdfPageSpec>(size_t(pages)));
        const std::string tmp = folder.File("tmp"), program = folder.File("program");
        const std::string target = where == Folder::Temporary ? tmp : program;
        std::ofstream(folder.File("user.script"))
            << "click 1006\nchoose-file " << Document(pages) << "\nkey Down\nclick 1\n";
        std::ofstream(folder.File("earlier-result")) << kEarlierResult;
        std::ofstream(folder.File("earlier-settings")) << kEarlierSettings;

        std::string script = "set -e\ncd '" + folder.Path() + "'\nmkdir -p tmp program\n";
        script += "mount -t tmpfs -o size=16m tmpfs '" + target + "'\n";
        script += "cp '" + std::string(HOST_PROGRAM) + "' program/pdfimport-host\n";
        script += "cp earlier-result tmp/PDFInfo.dat\ncp earlier-settings program/ImageSet.dat\n";
        if (fault == Fault::Full && where == Folder::Program) script += "rm program/ImageSet.dat\n";
        if (fault == Fault::Full)
            script += "dd if=/dev/zero of='" + target + "/filler' bs=4096 >/dev/null 2>&1 || true\n";
        else
            script += "mount -o remount,ro '" + target + "'\n";
        script += "set +e\nTMPDIR='" + tmp + "/' PDFIMPORT_UI=offscreen PDFIMPORT_SCRIPT=user.script "
                  "program/pdfimport-host --lib '" + std::string(PDFIMPORT_LIBRARY) + "' --entry " + entry +
                  " >out.txt 2>err.txt\necho $? >status.txt\n";
        script += "cat tmp/PDFInfo.dat >result-after 2>/dev/null\ncat program/ImageSet.dat >settings-after 2>/dev/null\n"
                  "ls tmp >tmp-after\n";
        std::ofstream(folder.File("run.sh")) << script;

        Outcome outcome;
        const int status = std::system(("unshare -m sh '" + folder.File("run.sh") + "'").c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the setup failed";
        outcome.exitStatus = std::atoi(HostRun::Read(folder.File("status.txt")).c_str());
        outcome.out = HostRun::Read(folder.File("out.txt"));
        outcome.err = HostRun::Read(folder.File("err.txt"));
        outcome.resultFile = HostRun::Read(folder.File("result-after"));
        outcome.settingsFile = HostRun::Read(folder.File("settings-after"));
        outcome.tempListing = HostRun::Read(folder.File("tmp-after"));
        return outcome;
    }
};

// A result file that cannot be written is never reported as written; the
// earlier one survives intact, and nothing is shown to the user. The range
// list of 400 pages needs more room than the earlier file had.
TEST_F(FaultInjectionTest, ResultFileThatCannotBeWritten) {
    for (Fault fault : {Fault::ReadOnly, Fault::Full}) {
        SCOPED_TRACE(fault == Fault::Full ? "full" : "read-only");
        const Outcome run = Import(Folder::Temporary, fault, "GetPDFInfo2Out", 400);
        EXPECT_EQ(run.exitStatus, 1) << run.out << run.err;
        EXPECT_NE(run.out.find("result: 0"), std::string::npos) << run.out;
        EXPECT_EQ(run.err.find("message box"), std::string::npos) << run.err;
        EXPECT_EQ(run.resultFile, kEarlierResult);
        EXPECT_EQ(run.tempListing.find("PDFInfo.dat."), std::string::npos) << "a half-written file was left";
        EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << run.err;
    }
}

// Page images that cannot be written leave the preview without pictures,
// but the document is open: the out-parameter import still lists its pages.
TEST_F(FaultInjectionTest, PageImagesThatCannotBeWritten) {
    for (Fault fault : {Fault::ReadOnly, Fault::Full}) {
        SCOPED_TRACE(fault == Fault::Full ? "full" : "read-only");
        const Outcome run = Import(Folder::Temporary, fault, "GetPDFInfo");
        EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
        EXPECT_NE(run.out.find("InputFile: " + Document(3) + "\n"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find(" obj 0;"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find(" obj 2;\n"), std::string::npos) << run.out;
        EXPECT_EQ(run.err.find("message box"), std::string::npos) << run.err;
    }
}

// Settings that cannot be written do not stop the import; earlier settings
// survive intact.
TEST_F(FaultInjectionTest, SettingsFileThatCannotBeWritten) {
    for (Fault fault : {Fault::ReadOnly, Fault::Full}) {
        SCOPED_TRACE(fault == Fault::Full ? "full" : "read-only");
        const Outcome run = Import(Folder::Program, fault, "GetPDFInfo2Out");
        EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
        EXPECT_NE(run.resultFile.find("InputFile:" + Document(3) + "\r\n"), std::string::npos);
        EXPECT_EQ(run.settingsFile, fault == Fault::Full ? "" : kEarlierSettings);
        EXPECT_EQ(run.err.find("message box"), std::string::npos) << run.err;
    }
}

}  // namespace

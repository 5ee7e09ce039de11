// A host process that imports again and again, and one that unloads and
// loads the library between imports: every import must succeed and leave
// no descriptor, no settings object of the PDF library and no heap behind.
// Sanitizer builds also end the soak program under the leak checker.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "../preview/PdfFixture.h"
#include "HostRun.h"

namespace {

struct Round {
    int number = 0, result = -1, fds = -1;
    long long heap = -1;
    std::string settings;
    int loaded = -1;
};

struct Soak {
    int exitStatus = -1;
    int startFds = -1;
    std::vector<Round> rounds;
    int endFds = -1;
    std::string err;
};

// Heap that one import may still add once the first imports have filled
// the caches. The parsed script shrinks by some hundred bytes per import,
// so a steady leak shows well before it reaches this.
constexpr long long kHeapSlack = 16 * 1024;

class RepeatedImportTest : public ::testing::Test {
protected:
    TempFolder folder;

    RepeatedImportTest() {
        std::filesystem::create_directories(folder.File("tmp"));
        std::filesystem::copy_file(SOAK_PROGRAM, folder.File("import_soak"));
        WritePdf(folder.File("three.pdf"), std::vector<PdfPageSpec>(3));
    }

    // Runs `rounds` imports that each choose the document, step to its last
    // page and press Convert.
    Soak Run(const std::string& entry, int rounds, bool reload) {
        {
            std::ofstream script(folder.File("user.script"));
            for (int i = 0; i < rounds; ++i)
                script << "click 1006\nchoose-file " << folder.File("three.pdf") << "\nkey Down\nkey Down\nclick 1\n";
        }
        // The per-thread cache of freed blocks would show as heap in use.
        const std::string command = "cd '" + folder.Path() + "' && GLIBC_TUNABLES=glibc.malloc.tcache_count=0 TMPDIR='" +
                                    folder.File("tmp/") + "' PDFIMPORT_UI=offscreen PDFIMPORT_SCRIPT='" +
                                    folder.File("user.script") + "' ./import_soak '" + PDFIMPORT_LIBRARY + "' " +
                                    entry + " " + std::to_string(rounds) + (reload ? " reload" : "") + " >out.txt 2>err.txt";
        const int status = std::system(command.c_str());
        Soak soak;
        soak.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        soak.err = HostRun::Read(folder.File("err.txt"));
        std::istringstream lines(HostRun::Read(folder.File("out.txt")));
        std::string line, word;
        while (std::getline(lines, line)) {
            std::istringstream in(line);
            in >> word;
            if (word == "start") {
                in >> word >> soak.startFds;
            } else if (word == "round") {
                Round r;
                in >> r.number >> word >> r.result >> word >> r.fds >> word >> r.heap >> word >> r.settings >> word >>
                    r.loaded;
                soak.rounds.push_back(r);
            } else if (word == "end") {
                in >> word >> soak.endFds;
            }
        }
        return soak;
    }

    // What every soak must show, whatever the entry point.
    static void ExpectNothingLeftBehind(const Soak& soak, int rounds) {
        EXPECT_EQ(soak.exitStatus, 0) << soak.err;
        EXPECT_EQ(soak.err.find("Sanitizer"), std::string::npos) << soak.err;
        ASSERT_EQ(soak.rounds.size(), size_t(rounds)) << soak.err;
        for (const Round& r : soak.rounds) {
            EXPECT_EQ(r.result, 1) << "round " << r.number;
            EXPECT_EQ(r.fds, soak.startFds) << "round " << r.number << " left a descriptor open";
            EXPECT_EQ(r.settings, "0") << "round " << r.number << " left the PDF library's settings object";
        }
        EXPECT_EQ(soak.endFds, soak.startFds);
        EXPECT_LE(soak.rounds.back().heap, soak.rounds[1].heap + kHeapSlack)
            << "heap after round 2: " << soak.rounds[1].heap << ", after the last: " << soak.rounds.back().heap;
    }
};

TEST_F(RepeatedImportTest, HundredImportsInOneProcess) {
    const Soak soak = Run("GetPDFInfo2Out", 100, false);
    ExpectNothingLeftBehind(soak, 100);
    // The last import's result file is complete.
    EXPECT_NE(HostRun::Read(folder.File("tmp/PDFInfo.dat")).find("Ranglist:"), std::string::npos);
}

TEST_F(RepeatedImportTest, UnloadAndLoadAgainBetweenImports) {
    const Soak soak = Run("GetPDFInfo", 12, true);
    ExpectNothingLeftBehind(soak, 12);
    // The library keeps itself loaded, so its process-wide state is found
    // again by the next load instead of being lost with the unmapped image.
    for (const Round& r : soak.rounds) EXPECT_EQ(r.loaded, 1) << "round " << r.number;
}

// Only the entry points and the image classes are visible to a host; the
// standard library's template instances must not be, or they would pin
// the library with unique symbols and clash with the host's own.
TEST(LibraryExports, OnlyEntryPointsAndImageClasses) {
    FILE* pipe = popen(("nm -D --defined-only '" + std::string(PDFIMPORT_LIBRARY) + "' | c++filt").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<std::string> names;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string name = line;
        name = name.substr(name.find(' ', name.find(' ') + 1) + 1);
        name.erase(name.find_last_not_of('\n') + 1);
        names.push_back(name);
    }
    ASSERT_EQ(pclose(pipe), 0);
    int entryPoints = 0;
    for (const std::string& name : names) {
        const bool entry = name.rfind("GetPDFInfo", 0) == 0;
        entryPoints += entry;
        const bool imageClass = name.rfind("Rx", 0) == 0 || name.rfind("typeinfo for Rx", 0) == 0 ||
                                name.rfind("typeinfo name for Rx", 0) == 0 || name.rfind("vtable for Rx", 0) == 0;
        EXPECT_TRUE(entry || imageClass) << name;
    }
    EXPECT_EQ(entryPoints, 4);
}

}  // namespace

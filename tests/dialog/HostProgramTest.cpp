// Runs the demo host against stand-in libraries and checks what it prints
// and how it exits.

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct HostRun {
    int status = -1;
    std::string output;
};

HostRun RunHost(const std::string& environment, const std::string& arguments)
{
    HostRun run;
    const std::string command = environment + " '" HOST_PROGRAM "' " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[512];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

const std::string FullLibrary = " --lib '" FAKE_LIBRARY "'";
const std::string PartialLibrary = " --lib '" FAKE_PARTIAL_LIBRARY "'";

} // namespace

TEST(HostProgram, ReportsWhatEachEntryPointHandsBack)
{
    TempFolder folder;
    const std::string tmp = "TMPDIR='" + folder.Path() + "'";
    const std::string outParameters =
        "result: 1\nInputFile: /plans/site.pdf\nRanglist: 4 0 obj 0;12 0 obj 1;\n"
        "Scale it: 0\nFill it: 1\nHas width: 0\n";
    const std::string resultFile =
        "result: 1\nfile: " + folder.Path() + "/PDFInfo.dat\nbytes: 91\n| InputFile:/plans/site.pdf\n"
        "| Ranglist:\n| Scale:-1.000000\n| Scale it:1\n| Fill it:1\n| Has width:1\n";
    struct Case {
        std::string environment;
        std::string arguments;
        int status;
        std::string tail;
    };
    const Case cases[] = {
        {tmp, "--entry GetPDFInfo", 0, outParameters},
        {tmp, "--entry GetPDFInfoOut", 0, outParameters},
        {tmp, "--entry GetPDFInfo2", 0, resultFile},
        {tmp, "", 0, resultFile},
        {tmp + " FAKE_IMPORT=cancel", "--entry GetPDFInfo", 1, "result: 0\n"},
        {tmp + " FAKE_IMPORT=cancel", "--entry GetPDFInfo2Out", 1, "result: 0\n"},
        {tmp + " FAKE_IMPORT=cancel-but-write", "--entry GetPDFInfo", 1,
         "result: 0\nwarning: out-parameters changed although the import was cancelled\n"},
    };
    for (const Case& c : cases) {
        HostRun run = RunHost(c.environment, c.arguments + FullLibrary);
        EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.output;
        ASSERT_GE(run.output.size(), c.tail.size()) << run.output;
        EXPECT_EQ(run.output.substr(run.output.size() - c.tail.size()), c.tail) << c.arguments;
    }
}

TEST(HostProgram, UnusableLibraryOrArgumentsExitWithTwo)
{
    struct Case {
        std::string arguments;
        std::string message;
    };
    const Case cases[] = {
        {"--lib /nonexistent/libpdfimport.so", "cannot load library /nonexistent/libpdfimport.so"},
        {"--entry GetPDFInfo2" + PartialLibrary, "the library has no entry point GetPDFInfo2"},
        {"--entry GetPDFInfoOut" + PartialLibrary, "the library has no entry point GetPDFInfoOut"},
        {"--entry Other" + FullLibrary, "unknown entry point 'Other'"},
        {"--lib", "unexpected argument '--lib'"},
        {"--verbose", "unexpected argument '--verbose'"},
    };
    for (const Case& c : cases) {
        HostRun run = RunHost("", c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments << "\n" << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << c.arguments << "\n" << run.output;
    }
}

TEST(HostProgram, OnlyTheNeededEntryPointMustExist)
{
    HostRun run = RunHost("", "--entry GetPDFInfo" + PartialLibrary);
    EXPECT_EQ(run.status, 0) << run.output;
}

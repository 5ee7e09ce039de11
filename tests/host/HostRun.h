#pragma once

// Runs the demo host in a folder of its own (so that ImageSet.dat, which
// lives beside the running program, and the temporary directory are the
// test's), with an offscreen script playing the user.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../dialog/TempFolder.h"

struct HostResult {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

class HostRun {
public:
    HostRun() {
        std::filesystem::create_directories(Temp());
        std::filesystem::copy_file(HOST_PROGRAM, Host());
    }

    std::string Folder() const { return folder_.Path(); }
    std::string Temp() const { return folder_.Path() + "/tmp/"; }
    std::string Host() const { return folder_.Path() + "/pdfimport-host"; }
    std::string File(const std::string& name) const { return folder_.File(name); }

    HostResult Run(const std::vector<std::string>& script, const std::string& entry = "GetPDFInfo2Out",
                   const std::string& tempDir = "") const {
        const std::string scriptPath = File("user.script");
        {
            std::ofstream out(scriptPath);
            for (const std::string& line : script) out << line << '\n';
        }
        const std::string command = "cd '" + Folder() + "' && TMPDIR='" + (tempDir.empty() ? Temp() : tempDir) +
                                    "' PDFIMPORT_UI=offscreen PDFIMPORT_SCRIPT='" + scriptPath + "' '" +
                                    Host() + "' --lib '" + PDFIMPORT_LIBRARY + "' --entry " + entry +
                                    " >'" + File("out.txt") + "' 2>'" + File("err.txt") + "'";
        HostResult result;
        const int status = std::system(command.c_str());
        result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = Read(File("out.txt"));
        result.err = Read(File("err.txt"));
        return result;
    }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    TempFolder folder_;
};

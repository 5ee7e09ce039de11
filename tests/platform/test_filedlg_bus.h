#pragma once

// A private session bus for one test, with the fake file chooser on it. The
// bus has no service folders, so nothing of the machine's own starts on it.

#include <fcntl.h>
#include <ftw.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

// Removes a folder with everything in it.
inline void RemoveTree(const std::string& path) {
    nftw(path.c_str(), [](const char* p, const struct stat*, int, FTW*) { return remove(p); }, 16,
         FTW_DEPTH | FTW_PHYS);
}

// Sets an environment variable for a scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (old) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (had_) setenv(name_, old_.c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

class ChildProcess {
public:
    ~ChildProcess() { Stop(); }
    // Starts `argv` with `env` added; the first line it prints is read
    // (within `timeoutMs`) into `firstLine`. `quiet` drops its error output
    // (the bus daemon's notices about limits it may not raise).
    bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& env, std::string& firstLine,
               bool quiet = false, int timeoutMs = 10000) {
        int fds[2];
        if (pipe(fds) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        if (quiet) posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        std::vector<std::string> envText;
        for (char** e = environ; *e; ++e) envText.push_back(*e);
        for (const std::string& e : env) envText.push_back(e);
        std::vector<char*> envp;
        for (std::string& e : envText) envp.push_back(&e[0]);
        envp.push_back(nullptr);
        const int spawned = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (spawned != 0) {
            pid_ = -1;
            close(fds[0]);
            return false;
        }
        firstLine.clear();
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, timeoutMs) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') firstLine += c;
        close(fds[0]);
        return !firstLine.empty();
    }
    void Stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

class PrivateSessionBus {
public:
    // Starts the bus and points DBUS_SESSION_BUS_ADDRESS of this process at it.
    bool Start() {
        char dir[] = "/tmp/filedlg-bus-XXXXXX";
        if (!mkdtemp(dir)) return false;
        dir_ = dir;
        const std::string config = dir_ + "/bus.conf";
        std::ofstream(config) << "<busconfig><type>session</type><listen>unix:dir=" << dir_
                              << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                                 "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                                 "<allow own=\"*\"/></policy></busconfig>\n";
        if (!daemon_.Start({"/usr/bin/dbus-daemon", "--config-file=" + config, "--nofork", "--print-address=1"}, {},
                           address_, true))
            return false;
        busAddress_ = std::make_unique<ScopedEnv>("DBUS_SESSION_BUS_ADDRESS", address_);
        return true;
    }
    // Starts the fake chooser; what it is asked goes to Record().
    bool StartChooser(const std::vector<std::string>& modeAndUri) {
        std::vector<std::string> argv{FAKE_FILE_CHOOSER, dir_ + "/record"};
        argv.insert(argv.end(), modeAndUri.begin(), modeAndUri.end());
        std::string ready;
        return chooser_.Start(argv, {"DBUS_SESSION_BUS_ADDRESS=" + address_}, ready) && ready == "ready";
    }
    void StopChooser() { chooser_.Stop(); }
    std::string Record() const {
        std::ifstream in(dir_ + "/record");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    ~PrivateSessionBus() {
        chooser_.Stop();
        daemon_.Stop();
        busAddress_.reset();
        if (!dir_.empty()) RemoveTree(dir_);
    }

private:
    ChildProcess daemon_;
    ChildProcess chooser_;
    std::string dir_;
    std::string address_;
    std::unique_ptr<ScopedEnv> busAddress_;
};

#pragma once

// Shell and system services: temporary directory, file names of this
// library and of the running program, opening files, the OS version.

#include <string>

#include "platform/WinTypes.h"

struct OsVersion {
    std::string system;   // e.g. "Linux"
    std::string release;  // e.g. "6.1.0-18-amd64"
    int major = 0;
    int minor = 0;
};

// $TMPDIR (when set and not empty) else "/tmp/", always with a trailing "/".
std::string GetTempDirectory();
// The file of the shared library (or program) that contains this code.
std::string GetModuleFileName();
// The running program's file (/proc/self/exe); empty when unknown.
std::string GetProgramFileName();
// Hands a file or link to the user's default application (detached; the
// outcome is not reported, as with the classic shell call).
void ShellOpen(const std::string& target);
OsVersion GetOsVersion();

// Classic buffer forms: copy into buffer (with its terminating zero) and
// return the length; when the buffer is too small, return the size needed
// including the zero and leave the buffer empty.
DWORD GetTempPathA(DWORD bufferSize, char* buffer);
DWORD GetModuleFileNameA(char* buffer, DWORD bufferSize);

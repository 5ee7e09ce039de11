#pragma once

// Runs a piece of work in a forked child and reports how it ended and what
// memory it took, so that a hostile file can neither crash, hang nor
// exhaust the test program.
//
// Memory is measured in the way that works in each build: with
// AddressSanitizer the allocator's hooks give the peak of live heap bytes
// (address-space limits do not work there, the sanitizer reserves terabytes);
// without it the child's address space is limited, so an allocation beyond
// the bound fails instead of succeeding, and the peak resident size is read.
// Sanitizer builds also look for leaks in the child after the work.

#include <cstdint>
#include <functional>
#include <string>

struct ChildResult {
    bool finished = false;   // the work returned (no crash, no time-out)
    std::string how;         // otherwise: the signal or exit that ended it
    std::string text;        // what the work reported
    uint64_t peakBytes = 0;  // heap peak (sanitizer) or resident peak growth
    bool leaked = false;
};

// `work` runs in the child and returns a text for the parent. The child is
// killed after `seconds`; without a sanitizer its address space may grow by
// at most `addressBound` bytes.
ChildResult RunInChild(const std::function<std::string()>& work, uint64_t addressBound, unsigned seconds);

// True in builds with AddressSanitizer.
bool SanitizerBuild();

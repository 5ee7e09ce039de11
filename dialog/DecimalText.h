#pragma once

// Reads the leading decimal integer of a text the way the C library's atoi
// does: leading white space is skipped, one optional sign is accepted, then
// digits up to the first other character; no digits give 0. Unlike atoi the
// result is defined for any length: values beyond the 32-bit range saturate
// at INT_MIN or INT_MAX.
int ReadLeadingInt(const char* text);

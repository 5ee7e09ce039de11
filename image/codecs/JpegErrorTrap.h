#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

// The JPEG library's error manager with a way back into our code: a fatal
// library error records the library's message and jumps to the frame that
// armed `jump` with setjmp. Only frames holding trivially destructible locals
// may lie between that frame and the library call, so the jump never skips a
// destructor.
struct JpegErrorTrap {
    jpeg_error_mgr manager;  // first, so the library's pointer is ours too
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    int warnings;

    // Fills the manager with the library's defaults and our exit and output
    // routines; returns the manager for the `err` field of a codec struct.
    jpeg_error_mgr* Install();
};

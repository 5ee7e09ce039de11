#include "image/codecs/JpegErrorTrap.h"

#include <cstring>

namespace {

JpegErrorTrap* TrapOf(j_common_ptr cinfo) {
    return reinterpret_cast<JpegErrorTrap*>(cinfo->err);
}

void KeepMessage(j_common_ptr cinfo) {
    JpegErrorTrap* trap = TrapOf(cinfo);
    (*cinfo->err->format_message)(cinfo, trap->message);
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    KeepMessage(cinfo);
    longjmp(TrapOf(cinfo)->jump, 1);
}

// Warnings (a truncated file among them) are counted, never printed: the
// library lives inside a host process whose console is not ours.
void EmitMessage(j_common_ptr cinfo, int level) {
    if (level < 0) {
        ++TrapOf(cinfo)->warnings;
        ++cinfo->err->num_warnings;
    }
}

void OutputMessage(j_common_ptr cinfo) {
    KeepMessage(cinfo);
}

}  // namespace

jpeg_error_mgr* JpegErrorTrap::Install() {
    jpeg_std_error(&manager);
    manager.error_exit = &ErrorExit;
    manager.emit_message = &EmitMessage;
    manager.output_message = &OutputMessage;
    message[0] = '\0';
    warnings = 0;
    return &manager;
}

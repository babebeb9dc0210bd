#include "pixmap/jpeg_glue.h"

namespace qrv {

namespace {

[[noreturn]] void JumpToRecovery(j_common_ptr info) {
    auto* errors = reinterpret_cast<TJpegErrorManager*>(info->err);
    std::longjmp(errors->recovery, 1);
}

void IgnoreMessage(j_common_ptr, int) {}
void IgnoreOutput(j_common_ptr) {}
void IgnoreFormat(j_common_ptr, char* buffer) { buffer[0] = '\0'; }

void ResetCounters(j_common_ptr info) {
    info->err->num_warnings = 0;
    info->err->msg_code = 0;
}

}  // namespace

jpeg_error_mgr* InstallJpegErrorManager(TJpegErrorManager& errors) {
    jpeg_error_mgr* manager = jpeg_std_error(&errors.manager);
    manager->error_exit = JumpToRecovery;
    manager->emit_message = IgnoreMessage;
    manager->output_message = IgnoreOutput;
    manager->format_message = IgnoreFormat;
    manager->reset_error_mgr = ResetCounters;
    return manager;
}

}  // namespace qrv

#include "pixmap/jpeg_glue.h"

namespace qrv {

namespace {

[[noreturn]] void JumpToRecovery(j_common_ptr info) {
    auto* errors = reinterpret_cast<TJpegErrorManager*>(info->err);
    // libjpeg's own formatter only fills the buffer; printing is what output_message does.
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->recovery, 1);
}

void IgnoreMessage(j_common_ptr, int) {}
void IgnoreOutput(j_common_ptr) {}

void ResetCounters(j_common_ptr info) {
    info->err->num_warnings = 0;
    info->err->msg_code = 0;
}

}  // namespace

jpeg_error_mgr* InstallJpegErrorManager(TJpegErrorManager& errors) {
    errors.message[0] = '\0';
    jpeg_error_mgr* manager = jpeg_std_error(&errors.manager);
    manager->error_exit = JumpToRecovery;
    manager->emit_message = IgnoreMessage;
    manager->output_message = IgnoreOutput;
    manager->reset_error_mgr = ResetCounters;
    return manager;
}

}  // namespace qrv

#pragma once

// Shared by the JPEG loader and the JPEG saver: an error manager that jumps back to a recovery
// point instead of exiting and never prints. Include after <cstdio>, which libjpeg needs.

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace qrv {

struct TJpegErrorManager {
    jpeg_error_mgr manager;  // first, so libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf recovery;
    char message[JMSG_LENGTH_MAX];  // libjpeg's message of the error that jumped, for reasons
};

// Installs the silent, jumping handlers into errors and gives libjpeg's view of it. A fatal
// error's message is kept in errors.message before the jump.
jpeg_error_mgr* InstallJpegErrorManager(TJpegErrorManager& errors);

}  // namespace qrv

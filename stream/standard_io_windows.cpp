#include <fcntl.h>
#include <io.h>

#include "stream/standard_io_mode.h"

namespace qrv::platform {

// The C runtime opens the standard streams in text mode, which turns "\n" into "\r\n" on output
// and "\r\n" into "\n" on input (and stops reading at a ^Z), so binary data piped between
// programs would be corrupted. A descriptor duplicated onto a standard one takes the text mode
// of the file it came from, so the mode is set before every transfer, not once.
void KeepUntranslated(std::FILE* stream) {
    _setmode(_fileno(stream), _O_BINARY);
}

}  // namespace qrv::platform

#pragma once

namespace qrv {

// Creates and registers the stream factories of this module: embedded files ("incbin::"),
// memory banks, text encodings ("latin1::", "utf8::", "utf16be::", "utf16le::"), byte order
// ("bigendian::", "littleendian::"), "tcp::" and "http::", and makes the platform's sockets
// usable. Runs once; later calls do nothing.
void InitStreamModule();

}  // namespace qrv

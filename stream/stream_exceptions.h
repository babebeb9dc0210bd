#pragma once

#include <stdexcept>

namespace qrv {

// Failures in the middle of reading or writing. Opening never raises: it gives no stream.
class TStreamException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A read failed: a stream gave no bytes before its end, or a server's data broke off or timed
// out. The message is "Error reading from stream".
class TStreamReadException : public TStreamException {
public:
    TStreamReadException() : TStreamException("Error reading from stream") {}
};

// A write failed: a stream took no bytes, or the bytes did not reach their file. The message is
// "Error writing to stream".
class TStreamWriteException : public TStreamException {
public:
    TStreamWriteException() : TStreamException("Error writing to stream") {}
};

}  // namespace qrv

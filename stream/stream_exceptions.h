#pragma once

#include <stdexcept>

namespace qrv {

// Failures in the middle of reading or writing. Opening never raises: it gives no stream.
class TStreamException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TStreamReadException : public TStreamException {
public:
    TStreamReadException() : TStreamException("Error reading from stream") {}
};

class TStreamWriteException : public TStreamException {
public:
    TStreamWriteException() : TStreamException("Error writing to stream") {}
};

}  // namespace qrv

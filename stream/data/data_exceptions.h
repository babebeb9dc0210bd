#pragma once

#include <string>

#include "stream/stream_exceptions.h"

namespace qrv {

// Raised by a data stream for data it cannot read: truncated, of an unknown type or version, or
// past a limit. It is a TStreamReadException (catching that catches it); what() gives
// "Error reading data: " and the problem.
class TDataReadException : public TStreamReadException {
public:
    explicit TDataReadException(std::string problem);
    const char* what() const noexcept override { return message.c_str(); }
    // The problem alone, without the "Error reading data: " prefix.
    const std::string& Problem() const { return problem; }

private:
    std::string problem;
    std::string message;
};

// Raised by a data stream for an object it cannot write (no data type for its class, nested
// too deeply, too large). It is a TStreamWriteException; what() gives "Error writing data: "
// and the problem.
class TDataWriteException : public TStreamWriteException {
public:
    explicit TDataWriteException(std::string problem);
    const char* what() const noexcept override { return message.c_str(); }
    // The problem alone, without the "Error writing data: " prefix.
    const std::string& Problem() const { return problem; }

private:
    std::string problem;
    std::string message;
};

}  // namespace qrv

#pragma once

#include <stdexcept>
#include <string>

namespace qrv {

// The error raised for plain-message failures ("Too many hook ids", "Unable to calculate tex
// size" ...). The message is kept as UTF-8 for what() and as 16-bit text for the system's own use.
class TRuntimeError : public std::runtime_error {
public:
    explicit TRuntimeError(const std::u16string& message);
    explicit TRuntimeError(const std::string& utf8Message);
    // The message as 16-bit text (what() gives it as UTF-8).
    const std::u16string& Message() const { return message; }

private:
    std::u16string message;
};

}  // namespace qrv

#include "stream/data/data_exceptions.h"

namespace qrv {

TDataReadException::TDataReadException(std::string problem)
    : problem(std::move(problem)), message("Error reading data: " + this->problem) {}

TDataWriteException::TDataWriteException(std::string problem)
    : problem(std::move(problem)), message("Error writing data: " + this->problem) {}

}  // namespace qrv

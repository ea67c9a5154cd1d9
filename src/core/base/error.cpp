#include "base/error.h"

namespace pilotrame {

Error InOperation(Error error, Operation operation) {
    error.operation = operation;
    return error;
}

Error BoxError(Cause cause, std::string_view box, std::string_view text) {
    Error error;
    error.code = cause == Cause::OutOfRange ? ErrorCode::Overflow : ErrorCode::TypeMismatch;
    error.cause = cause;
    error.detail = box;
    error.text = text;
    return error;
}

Error NameError(ErrorCode code, std::string_view name, std::string path) {
    Error error;
    error.code = code;
    error.cause = Cause::InvalidName;
    error.path = std::move(path);
    error.detail = name;
    return error;
}

Error TextError(TextFault fault, int line, std::string_view detail, std::string_view text) {
    Error error;
    error.code = ErrorCode::InvalidPropertyValue;
    error.cause = Cause::FaultyText;
    error.fault = fault;
    error.line = line;
    error.detail = detail;
    error.text = text;
    return error;
}

} // namespace pilotrame

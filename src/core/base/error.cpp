#include "base/error.h"

namespace pilotrame {

Error InOperation(Error error, Operation operation) {
    error.operation = operation;
    return error;
}

Error BoxError(Cause cause, BoxRef box, std::string_view text) {
    Error error = KeyValueError(cause, {}, text);
    error.box = box;
    return error;
}

Error ControlCharacterError(BoxRef box, int code) {
    Error error;
    error.code = ErrorCode::InvalidPropertyValue;
    error.cause = Cause::ControlCharacter;
    error.box = box;
    error.number = code;
    return error;
}

Error KeyValueError(Cause cause, std::string_view key, std::string_view text) {
    Error error;
    error.code = cause == Cause::OutOfRange ? ErrorCode::Overflow : ErrorCode::TypeMismatch;
    error.cause = cause;
    error.detail = key;
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

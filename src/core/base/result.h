#pragma once

#include "base/error.h"

#include <utility>
#include <variant>

namespace pilotrame {

// Either a value or the Error that prevented it. Core operations return these instead of
// throwing, so that the windows decide how a failure is shown.
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : m_data(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : m_data(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_data.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(m_data); }
    const T& value() const& { return std::get<0>(m_data); }
    T&& value() && { return std::get<0>(std::move(m_data)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Error& error() const { return std::get<1>(m_data); }

private:
    std::variant<T, Error> m_data;
};

struct Done {};

// Outcome of an operation that yields nothing but may fail.
using Status = Result<Done>;

inline Status Success() {
    return Done{};
}

} // namespace pilotrame

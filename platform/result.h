// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>
#include <variant>

#include <QString>

namespace platform {

// The error half of Result: a code for callers that branch on it, a message for people.
struct Error
{
    int code = 0;
    QString message;
};

// A value or an error, until std::expected is available everywhere we build.
template <typename T, typename E = Error> class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_data(std::in_place_index<0>, std::move(value))
    {}
    Result(E error)
        : m_data(std::in_place_index<1>, std::move(error))
    {}

    bool hasValue() const { return m_data.index() == 0; }
    explicit operator bool() const { return hasValue(); }

    T &value() & { return std::get<0>(m_data); }
    const T &value() const & { return std::get<0>(m_data); }
    T &&value() && { return std::get<0>(std::move(m_data)); }
    const T &operator*() const & { return value(); }
    const T *operator->() const { return &value(); }

    const E &error() const { return std::get<1>(m_data); }

    T valueOr(T fallback) const { return hasValue() ? value() : std::move(fallback); }

private:
    std::variant<T, E> m_data;
};

// Success or an error, for operations that return nothing.
template <typename E> class [[nodiscard]] Result<void, E>
{
public:
    Result() = default;
    Result(E error)
        : m_error(std::move(error))
        , m_failed(true)
    {}

    bool hasValue() const { return !m_failed; }
    explicit operator bool() const { return hasValue(); }
    const E &error() const { return m_error; }

private:
    E m_error;
    bool m_failed = false;
};

using Status = Result<void>;

} // namespace platform

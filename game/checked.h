// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every number in the game lives in a fixed range (bytes, signed 16-bit
// integers, fixed-size arrays). Leaving a range is a run-time error that ends
// the program with a box naming it, never a silent wrap-around.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <exception>

namespace tarmelon {

class RunTimeError : public std::exception {
public:
    enum Number : int { Overflow = 6, SubscriptOutOfRange = 9 };

    explicit RunTimeError(Number number) : number_(number) {}
    int number() const noexcept { return number_; }
    const char *what() const noexcept override;
    // The Russian text the error box shows, with the error's number.
    QString message() const;

private:
    Number number_;
};

// Narrowing to an unsigned byte, 0 to 255.
constexpr std::uint8_t ToByte(long value)
{
    if (value < 0 || value > 255)
        throw RunTimeError(RunTimeError::Overflow);
    return static_cast<std::uint8_t>(value);
}

// Narrowing to a signed 16-bit integer.
constexpr std::int16_t ToInteger(long value)
{
    if (value < -32768 || value > 32767)
        throw RunTimeError(RunTimeError::Overflow);
    return static_cast<std::int16_t>(value);
}

// An array index checked against the array's bounds lower..upper.
constexpr std::size_t Subscript(long index, long lower, long upper)
{
    if (index < lower || index > upper)
        throw RunTimeError(RunTimeError::SubscriptOutOfRange);
    return static_cast<std::size_t>(index - lower);
}

} // namespace tarmelon

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// A broken promise aborts, so libFuzzer keeps the input that broke it.
inline void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

inline QByteArray fuzzInput(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)};
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The text forms of setting values: Booleans as "True" or "False", numbers as
// plain decimal digits. Reading back is lenient the way the stored values
// have always been read: "true"/"false" in any case, and any number for a
// Boolean (0 is False). A text that does not convert, or a number beyond the
// type's range, gives no value, so the caller keeps what it had.

QString booleanText(bool value);
std::optional<bool> booleanFromText(const QString& text);
// 16-bit; a fraction is rounded half to even.
std::optional<std::int16_t> integerFromText(const QString& text);
// 32-bit; a fraction is rounded half to even.
std::optional<std::int32_t> longFromText(const QString& text);

// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingText.h"

#include <cmath>
#include <limits>

namespace {
std::optional<double> numberFromText(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

template <typename Int>
std::optional<Int> wholeFromText(const QString& text)
{
    const std::optional<double> number = numberFromText(text);
    if (!number) {
        return std::nullopt;
    }
    const double whole = std::nearbyint(*number);
    if (whole < std::numeric_limits<Int>::min() || whole > std::numeric_limits<Int>::max()) {
        return std::nullopt;
    }
    return static_cast<Int>(whole);
}
}  // namespace

QString booleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<bool> booleanFromText(const QString& text)
{
    const QString word = text.trimmed();
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    const std::optional<double> number = numberFromText(word);
    if (!number) {
        return std::nullopt;
    }
    return *number != 0.0;
}

std::optional<std::int16_t> integerFromText(const QString& text)
{
    return wholeFromText<std::int16_t>(text);
}

std::optional<std::int32_t> longFromText(const QString& text)
{
    return wholeFromText<std::int32_t>(text);
}

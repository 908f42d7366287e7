// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/SettingText.h"

#include <QLatin1String>
#include <QString>
#include <cstdint>

class RadioSettings;

// One kept setting: the key it is stored under, the text that stands for it
// while nothing is stored, and the value in use. Key, default and value live
// in one object, so a key cannot be paired with the wrong value.
class SettingBase {
public:
    SettingBase(RadioSettings& owner, QLatin1String key, QLatin1String defaultText)
        : owner_(owner), key_(key), defaultText_(defaultText)
    {
    }
    SettingBase(const SettingBase&) = delete;
    SettingBase& operator=(const SettingBase&) = delete;

    QString key() const { return QString(key_); }
    QString defaultText() const { return QString(defaultText_); }
    // The value in its stored form: "True"/"False" or decimal digits.
    virtual QString text() const = 0;
    // Takes a stored text; one that does not convert leaves the value and
    // gives false.
    virtual bool setFromText(const QString& text) = 0;

protected:
    ~SettingBase() = default;
    // Tells the owner that the value changed.
    void changed();

private:
    RadioSettings& owner_;
    QLatin1String key_;
    QLatin1String defaultText_;
};

namespace settingtext {
inline QString of(bool value)
{
    return booleanText(value);
}
inline QString of(std::int16_t value)
{
    return QString::number(value);
}
inline QString of(std::int32_t value)
{
    return QString::number(value);
}
inline std::optional<bool> parse(const QString& text, bool*)
{
    return booleanFromText(text);
}
inline std::optional<std::int16_t> parse(const QString& text, std::int16_t*)
{
    return integerFromText(text);
}
inline std::optional<std::int32_t> parse(const QString& text, std::int32_t*)
{
    return longFromText(text);
}
}  // namespace settingtext

// A setting of type T (bool, 16-bit or 32-bit). It reads like a T and takes
// a T by assignment; every change is announced by its owner.
template <typename T>
class Setting final : public SettingBase {
public:
    using SettingBase::SettingBase;

    T value() const { return value_; }
    operator T() const { return value_; }
    Setting& operator=(T value)
    {
        set(value);
        return *this;
    }
    void set(T value)
    {
        if (value_ != value) {
            value_ = value;
            changed();
        }
    }

    QString text() const override { return settingtext::of(value_); }
    bool setFromText(const QString& text) override
    {
        const std::optional<T> value = settingtext::parse(text, static_cast<T*>(nullptr));
        if (value) {
            set(*value);
        }
        return value.has_value();
    }

private:
    T value_{};
};

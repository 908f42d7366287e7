// SPDX-License-Identifier: GPL-3.0-or-later
#include "broadcast/BroadcastSetting.h"

#include "broadcast/Broadcast.h"
#include "broadcast/BroadcastAddress.h"
#include "broadcast/BroadcastStore.h"

BroadcastSetting::BroadcastSetting(BroadcastStore& store, Broadcast& broadcast)
    : store_(store), broadcast_(broadcast)
{
}

QString BroadcastSetting::address() const
{
    return store_.address();
}

std::optional<QString> BroadcastSetting::refusal(const QString& text)
{
    if (text.trimmed().isEmpty()) {
        return std::nullopt;
    }
    const auto parsed = BroadcastAddress::parse(text);
    if (const auto* why = std::get_if<QString>(&parsed)) {
        return *why;
    }
    return std::nullopt;
}

std::optional<QString> BroadcastSetting::apply(const QString& text)
{
    const QString address = text.trimmed();
    if (std::optional<QString> why = refusal(address)) {
        return why;
    }
    const bool changed = address != store_.address();
    if (changed) {
        if (std::optional<QString> problem = store_.setAddress(address)) {
            return problem;
        }
    }
    if (address.isEmpty()) {
        broadcast_.stop();
    } else if (changed || !broadcast_.started()) {
        broadcast_.start(std::get<BroadcastAddress>(BroadcastAddress::parse(address)));
    }
    return std::nullopt;
}

std::optional<QString> BroadcastSetting::startKept()
{
    const QString kept = store_.address();
    if (kept.isEmpty()) {
        return std::nullopt;
    }
    const auto parsed = BroadcastAddress::parse(kept);
    if (const auto* why = std::get_if<QString>(&parsed)) {
        return *why;
    }
    broadcast_.start(std::get<BroadcastAddress>(parsed));
    return std::nullopt;
}

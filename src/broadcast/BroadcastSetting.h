// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

class Broadcast;
class BroadcastStore;

// The "Broadcast to:" setting as the options window uses it: the address
// kept in its store, and the broadcast going to it. GUI thread only.
class BroadcastSetting {
public:
    BroadcastSetting(BroadcastStore& store, Broadcast& broadcast);

    QString address() const;
    Broadcast& broadcast() { return broadcast_; }
    // Why `text` cannot be kept (not a usable address); nothing for an
    // empty text (no broadcast) or a good address.
    static std::optional<QString> refusal(const QString& text);
    // Keeps `text` (empty: none) and sends to it from now on (empty: stops);
    // an address unchanged leaves a running broadcast be. Nothing, or why
    // it was not kept.
    std::optional<QString> apply(const QString& text);
    // At start, when the command line names no address: the kept one.
    // Nothing, or why the kept address is refused.
    std::optional<QString> startKept();

private:
    BroadcastStore& store_;
    Broadcast& broadcast_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "broadcast/BroadcastAddress.h"
#include "broadcast/BroadcastStatus.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

class AudioEngine;
class BroadcastSender;

// The station on the air: while started, everything the speaker plays (music
// and voice, after loudness, ducking and limiting) also goes to an Icecast
// server, through an output sink of the engine and a sender thread. How it
// stands comes back as statusChanged; what should go to stderr as said.
// GUI thread only; destroy it before the engine.
class Broadcast : public QObject {
    Q_OBJECT
public:
    Broadcast(AudioEngine& engine, QString stationName, QObject* parent = nullptr);
    ~Broadcast() override;
    Broadcast(const Broadcast&) = delete;
    Broadcast& operator=(const Broadcast&) = delete;

    // Sends to `address` from now on (in place of any earlier address).
    void start(const BroadcastAddress& address);
    void stop();
    bool started() const { return sender_ != nullptr; }
    const BroadcastStatus& status() const { return status_; }
    // What listeners' players show; the station's name until a song starts.
    void setTitle(const QString& title);
    const QString& stationName() const { return stationName_; }
    // Bytes of stream handed to the server so far (0 when stopped).
    std::uint64_t bytesSent() const;

signals:
    void statusChanged(const BroadcastStatus& status);
    void said(const QString& line);

private:
    void takeStatus(std::uint64_t generation, const BroadcastStatus& status);

    AudioEngine& engine_;
    const QString stationName_;
    QString title_;
    BroadcastStatus status_;
    // Counts starts: a report of a sender already stopped is left unheard.
    std::uint64_t generation_ = 0;
    std::unique_ptr<BroadcastSender> sender_;
};

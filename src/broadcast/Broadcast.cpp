// SPDX-License-Identifier: GPL-3.0-or-later
#include "broadcast/Broadcast.h"

#include "audio/AudioEngine.h"
#include "broadcast/BroadcastSender.h"

#include <QMetaObject>
#include <QPointer>
#include <utility>

Broadcast::Broadcast(AudioEngine& engine, QString stationName, QObject* parent)
    : QObject(parent), engine_(engine), stationName_(std::move(stationName)), title_(stationName_)
{
}

Broadcast::~Broadcast()
{
    stop();
}

void Broadcast::start(const BroadcastAddress& address)
{
    stop();
    const std::uint64_t generation = ++generation_;
    // The sender's thread reaches this object only through queued calls,
    // which are dropped once it is gone.
    const QPointer<Broadcast> self(this);
    BroadcastSender::Links links;
    links.status = [self, generation](const BroadcastStatus& status) {
        QMetaObject::invokeMethod(
            self.data(),
            [self, generation, status] {
                if (self) {
                    self->takeStatus(generation, status);
                }
            },
            Qt::QueuedConnection);
    };
    links.say = [self, generation](const QString& line) {
        QMetaObject::invokeMethod(
            self.data(),
            [self, generation, line] {
                if (self && self->generation_ == generation) {
                    emit self->said(line);
                }
            },
            Qt::QueuedConnection);
    };
    AudioEngine* engine = &engine_;
    links.outputPaused = [engine] { return engine->outputPaused(); };
    sender_ = std::make_unique<BroadcastSender>(address, stationName_, std::move(links));
    sender_->setTitle(title_);
    if (!engine_.addSink(sender_->sink())) {
        sender_.reset();
        takeStatus(generation, {BroadcastStatus::State::Retrying,
                                QStringLiteral("the engine has no room for another output")});
        return;
    }
    sender_->start();
}

void Broadcast::stop()
{
    if (!sender_) {
        return;
    }
    engine_.removeSink(sender_->sink());
    sender_.reset();
    ++generation_;
    takeStatus(generation_, {});
}

void Broadcast::setTitle(const QString& title)
{
    title_ = title.isEmpty() ? stationName_ : title;
    if (sender_) {
        sender_->setTitle(title_);
    }
}

std::uint64_t Broadcast::bytesSent() const
{
    return sender_ ? sender_->bytesSent() : 0;
}

void Broadcast::takeStatus(std::uint64_t generation, const BroadcastStatus& status)
{
    if (generation != generation_ || status == status_) {
        return;
    }
    status_ = status;
    emit statusChanged(status_);
}

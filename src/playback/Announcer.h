// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

// What the sequencer asks of the announcer. GUI thread only.
class Announcer : public QObject {
    Q_OBJECT
public:
    explicit Announcer(QObject* parent = nullptr) : QObject(parent) {}
    ~Announcer() override = default;

    // The intro spoken when an accepted playlist starts.
    virtual void speakIntro() = 0;
    // The comment on the song that ended (named by its title; empty when it
    // had none), with the time of day. Its artist (empty when the tags name
    // none) is named too when the host knows the music.
    virtual void AnnounceTime(const QString& songTitle, const QString& songArtist) = 0;
    // The headline intro, then every headline of a fresh fetch. The fetch runs
    // asynchronously; the headlines are handed to the voice when it answers.
    virtual void AnnounceNews() = 0;
    // "And now,  back to the music.", which closes the words between two
    // songs: at once, or after the headlines while a fetch is on its way.
    // Dropped with those headlines. When the host knows the music, the song
    // that comes next is named before it (nothing for an empty title).
    virtual void backToTheMusic(const QString& nextTitle, const QString& nextArtist) = 0;
    // True while a fetch started by AnnounceNews() has not yet answered and
    // had its headlines handed to the voice. The sequencer waits for it.
    virtual bool newsPending() const = 0;
    // Drops a fetch still pending, so its headlines (and the way back to the
    // music waiting for them) are never said: newsPending() is false at once,
    // newsAnswered() follows from the event loop. Nothing happens when no
    // fetch is pending.
    virtual void dropNews() = 0;

signals:
    // The pending fetch answered and its headlines were handed to the voice,
    // or it was dropped.
    void newsAnswered();
};

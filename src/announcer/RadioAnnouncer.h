// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "announcer/PhraseTable.h"
#include "feed/cSlashdot.h"
#include "playback/Announcer.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTime>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

class RadioSettings;
class RandomSource;
class SpeechEngine;

// The radio's announcer: the intro, the time announcement with a comment on
// the song that ended, the tech headlines of a fresh fetch, and the way back
// to the music. Everything is handed to the voice without waiting; texts
// follow each other in the order given. GUI thread only.
class RadioAnnouncer : public Announcer {
    Q_OBJECT

public:
    using Clock = std::function<QTime()>;

    static constexpr int IntroBase = 1000;
    static constexpr int CommentBase = 2000;

    RadioAnnouncer(RadioSettings& settings, RandomSource& random, SpeechEngine& voice,
                   QObject* parent = nullptr);
    ~RadioAnnouncer() override;

    void speakIntro() override;
    void AnnounceTime(const QString& songTitle, const QString& songArtist) override;
    void AnnounceNews() override;
    void backToTheMusic(const QString& nextTitle, const QString& nextArtist) override;
    bool newsPending() const override { return fetch_ != Fetch::None; }
    // Also when the voice is stopped: headlines are never read after the
    // speech was cut (Playlist, Help, ...).
    void dropNews() override;

    // Starts a fresh fetch; its headlines are spoken when it answers.
    void fetchHeadlines();
    // Speaks headline index (1-based); positions without a headline are skipped.
    void speakHeadline(int index);

    // The titles of the last answered fetch, in feed order; a story whose
    // record could not be read leaves an empty entry.
    const QStringList& Headlines() const { return headlines_; }
    std::int16_t IntroPick() const { return introPick_; }
    // The phrase last drawn (intro or comment).
    const QString& SpeechText() const { return speechText_; }
    const cSlashdot* Feed() const { return feed_; }

    // The time of day word and "hh:mm AM/PM" for the clock's current time.
    QString timeOfDayWord() const;
    QString spokenTime() const;

    // Replaces the wall clock (tests).
    void setClock(Clock clock) { clock_ = std::move(clock); }
    // Fetch from this host instead of the NewsHost setting.
    void setNewsHost(const QString& host) { hostOverride_ = host; }
    // The host of the next fetch: the override, else the NewsHost setting.
    QString newsHost() const;
    void setFetchTimeout(std::chrono::milliseconds timeout) { fetchTimeout_ = timeout; }

    static QString formatTime(const QTime& time);
    // "<title> by <artist>", or the title alone without an artist.
    static QString titleByArtist(const QString& title, const QString& artist);
    // The line before the way back to the music: "Coming up: <title> by
    // <artist>."; empty without a title.
    static QString comingUp(const QString& title, const QString& artist);

private:
    // A headline fetch, and what waits for its answer.
    enum class Fetch { None, Pending, PendingThenBackToTheMusic };

    void onFeedAnswered();
    void speakBackToTheMusic();
    QString phrase(int id) const;

    RadioSettings& settings_;
    RandomSource& random_;
    SpeechEngine& voice_;
    PhraseTable phrases_;
    Clock clock_;
    QPointer<cSlashdot> feed_;
    QStringList headlines_;
    std::optional<QString> hostOverride_;
    std::chrono::milliseconds fetchTimeout_;
    QString speechText_;
    // Said before the way back to the music that waits for the headlines.
    QString comingUp_;
    std::int16_t introPick_ = 0;
    Fetch fetch_ = Fetch::None;
};

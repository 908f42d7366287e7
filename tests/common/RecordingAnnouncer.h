// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playback/Announcer.h"
#include "speech/SpeechEngine.h"

#include <QStringList>

// An announcer that notes what it was asked for and, like the real one, hands
// a text to the voice for each announcement. A headline fetch stays pending
// until the test answers it; the way back to the music waits for it, as the
// real one's does.
class RecordingAnnouncer : public Announcer {
public:
    explicit RecordingAnnouncer(SpeechEngine& voice) : voice_(voice) {}

    void speakIntro() override
    {
        calls << QStringLiteral("intro");
        voice_.speak(QStringLiteral("intro"));
    }
    void AnnounceTime(const QString& songTitle, const QString& songArtist) override
    {
        calls << QStringLiteral("time");
        titles << songTitle;
        artists << songArtist;
        voice_.speak(QStringLiteral("the time"));
    }
    void AnnounceNews() override
    {
        calls << QStringLiteral("news");
        voice_.speak(QStringLiteral("headlines follow"));
        pending = holdNews;
    }
    void backToTheMusic(const QString& nextTitle, const QString& nextArtist) override
    {
        calls << QStringLiteral("back to the music");
        comingUp << (nextArtist.isEmpty() ? nextTitle
                                          : nextTitle + QStringLiteral(" by ") + nextArtist);
        if (pending) {
            backAfterNews_ = true;
            return;
        }
        voice_.speak(kBackToTheMusic);
    }
    bool newsPending() const override { return pending; }
    void dropNews() override
    {
        if (!pending) {
            return;
        }
        calls << QStringLiteral("drop news");
        pending = false;
        backAfterNews_ = false;
        QMetaObject::invokeMethod(
            this, [this] { emit newsAnswered(); }, Qt::QueuedConnection);
    }

    // Answers a held headline fetch, as the real announcer does when the
    // feed answers.
    void answerNews()
    {
        pending = false;
        if (backAfterNews_) {
            backAfterNews_ = false;
            voice_.speak(kBackToTheMusic);
        }
        emit newsAnswered();
    }

    static inline const QString kBackToTheMusic = QStringLiteral("And now,  back to the music.");

    QStringList calls;
    QStringList titles;
    QStringList artists;
    // What each way back to the music was told comes next.
    QStringList comingUp;
    bool holdNews = false;
    bool pending = false;

private:
    SpeechEngine& voice_;
    bool backAfterNews_ = false;
};

#pragma once

#include "playback/Announcer.h"
#include "speech/SpeechEngine.h"

#include <QStringList>

// An announcer that notes what it was asked for and, like the real one, hands
// a text to the voice for each announcement. A headline fetch stays pending
// until the test answers it.
class RecordingAnnouncer : public Announcer {
public:
    explicit RecordingAnnouncer(SpeechEngine& voice) : voice_(voice) {}

    void speakIntro() override
    {
        calls << QStringLiteral("intro");
        voice_.speak(QStringLiteral("intro"));
    }
    void AnnounceTime(const QString& songTitle) override
    {
        calls << QStringLiteral("time");
        titles << songTitle;
        voice_.speak(QStringLiteral("the time"));
    }
    void AnnounceNews() override
    {
        calls << QStringLiteral("news");
        voice_.speak(QStringLiteral("headlines follow"));
        pending = holdNews;
    }
    bool newsPending() const override { return pending; }
    void dropNews() override
    {
        if (!pending) {
            return;
        }
        calls << QStringLiteral("drop news");
        pending = false;
        QMetaObject::invokeMethod(
            this, [this] { emit newsAnswered(); }, Qt::QueuedConnection);
    }

    // Answers a held headline fetch, as the real announcer does when the
    // feed answers.
    void answerNews()
    {
        pending = false;
        emit newsAnswered();
    }

    QStringList calls;
    QStringList titles;
    bool holdNews = false;
    bool pending = false;

private:
    SpeechEngine& voice_;
};

#pragma once

#include "core/Announcer.h"
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
    void AnnounceTime() override
    {
        calls << QStringLiteral("time");
        voice_.speak(QStringLiteral("the time"));
    }
    void AnnounceNews() override
    {
        calls << QStringLiteral("news");
        voice_.speak(QStringLiteral("headlines follow"));
        pending = holdNews;
    }
    bool newsPending() const override { return pending; }

    QStringList calls;
    bool holdNews = false;
    bool pending = false;

private:
    SpeechEngine& voice_;
};

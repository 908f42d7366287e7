#pragma once

#include "speech/SpeedPlan.h"
#include "speech/SpokenTextTranslator.h"
#include "speech/VoiceSettings.h"

#include <QByteArray>
#include <atomic>
#include <cstdint>

// Everything that shapes how a text is spoken, frozen when the text is handed
// over: later changes apply to later texts only. Shared read-only between
// the GUI thread and the synthesis thread.
struct SpeechConfig {
    SpeechConfig(QByteArray voice, int wordsPerMinute, const VoiceSettings& voiceSettings)
        : id(nextId()),
          synthName(std::move(voice)),
          speed(SpeedPlan::forWordsPerMinute(wordsPerMinute)),
          settings(voiceSettings.normalized()),
          translator(settings)
    {
    }

    const std::uint64_t id;
    const QByteArray synthName;
    const SpeedPlan speed;
    const VoiceSettings settings;
    const SpokenTextTranslator translator;

private:
    static std::uint64_t nextId()
    {
        static std::atomic<std::uint64_t> counter{0};
        return ++counter;
    }
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeedPlan.h"
#include "speech/SpokenTextTranslator.h"
#include "speech/VoiceCatalog.h"
#include "speech/VoiceSettings.h"

#include <QByteArray>
#include <atomic>
#include <cstdint>

// Everything that shapes how a text is spoken, frozen when the text is handed
// over: later changes apply to later texts only. Shared read-only between
// the GUI thread and the synthesis thread.
struct SpeechConfig {
    // voice is null when no engine is selected: espeak-ng's main English
    // voice speaks then.
    SpeechConfig(const VoiceEngineInfo* voice, int wordsPerMinute,
                 const VoiceSettings& voiceSettings)
        : id(nextId()),
          family(voice ? voice->family : VoiceFamily::EspeakNg),
          synthName(voice ? voice->synthName : QByteArray()),
          speed(family == VoiceFamily::Flite
                    ? SpeedPlan::forStretchedVoice(wordsPerMinute, voice->wordsPerMinute)
                    : SpeedPlan::forWordsPerMinute(wordsPerMinute)),
          settings(voiceSettings.normalized()),
          translator(settings, family)
    {
    }

    const std::uint64_t id;
    const VoiceFamily family;
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

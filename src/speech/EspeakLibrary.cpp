// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/EspeakLibrary.h"

#include <espeak-ng/speak_lib.h>

#include <cstring>
#include <string>

namespace {
// What the text being synthesized on this thread reports to. The
// synthesizer calls back on the thread that called it, so no other thread
// sees it.
struct Synthesis {
    SynthSink* sink = nullptr;
    std::u32string letters;
    int sampleRate = 0;
    std::vector<SynthWord> words;
};
thread_local Synthesis* t_synthesis = nullptr;

// Blocks of 20 ms keep the first sample quick and an abort prompt.
constexpr int kBlockMs = 20;

std::vector<SynthVoice> listVoices(espeak_VOICE* spec)
{
    std::vector<SynthVoice> out;
    const espeak_VOICE** list = espeak_ListVoices(spec);
    for (int i = 0; list != nullptr && list[i] != nullptr; ++i) {
        const espeak_VOICE* v = list[i];
        SynthVoice voice;
        voice.name = QString::fromUtf8(v->name ? v->name : "");
        // languages: a priority byte, then the name, for each language.
        voice.language = QString::fromUtf8(v->languages && v->languages[0] ? v->languages + 1 : "");
        voice.identifier = QString::fromUtf8(v->identifier ? v->identifier : "");
        voice.gender = v->gender;
        voice.age = v->age;
        if (!voice.identifier.isEmpty()) {
            out.push_back(voice);
        }
    }
    return out;
}

// The word at a 1-based letter position of the text.
QString wordAt(const std::u32string& letters, int position, int length)
{
    if (position < 1 || length < 0 || static_cast<std::size_t>(position - 1) >= letters.size()) {
        return {};
    }
    return QString::fromStdU32String(
        letters.substr(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(length)));
}

int onBlock(short* samples, int count, espeak_EVENT* events)
{
    Synthesis* s = t_synthesis;
    if (s == nullptr) {
        return 1;
    }
    s->words.clear();
    for (const espeak_EVENT* e = events; e != nullptr && e->type != espeakEVENT_LIST_TERMINATED;
         ++e) {
        if (e->type == espeakEVENT_WORD) {
            // The event's time counts from the start of the text.
            s->words.push_back({static_cast<std::int64_t>(e->audio_position) * s->sampleRate / 1000,
                                wordAt(s->letters, e->text_position, e->length)});
        }
    }
    const std::size_t n = samples != nullptr && count > 0 ? static_cast<std::size_t>(count) : 0;
    return s->sink->onSynthBlock(samples, n, s->words) ? 0 : 1;
}
}  // namespace

EspeakLibrary& EspeakLibrary::instance()
{
    // Never destroyed: the synthesizer cannot be started again once ended, and
    // its own threads may outlive static destruction.
    static EspeakLibrary* library = new EspeakLibrary();
    return *library;
}

EspeakLibrary::EspeakLibrary()
{
    const std::lock_guard<std::mutex> guard(mutex_);
    const int rate =
        espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, kBlockMs, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) {
        return;
    }
    espeak_SetSynthCallback(&onBlock);
    voices_ = listVoices(nullptr);
    espeak_VOICE variantSpec;
    std::memset(&variantSpec, 0, sizeof variantSpec);
    variantSpec.languages = "variant";
    variants_ = listVoices(&variantSpec);
    sampleRate_ = rate;
}

bool EspeakLibrary::synthesize(const QString& text, unsigned flags, SynthSink& sink)
{
    if (!ready()) {
        return false;
    }
    const QByteArray utf8 = text.toUtf8();
    Synthesis synthesis{&sink, text.toStdU32String(), sampleRate_, {}};
    t_synthesis = &synthesis;
    const espeak_ERROR result = espeak_Synth(utf8.constData(), static_cast<size_t>(utf8.size()) + 1,
                                             0, POS_CHARACTER, 0, flags, nullptr, nullptr);
    t_synthesis = nullptr;
    return result == EE_OK;
}

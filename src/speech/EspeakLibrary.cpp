#include "speech/EspeakLibrary.h"

#include <espeak-ng/speak_lib.h>

#include <cstring>

namespace {
// The sink of the text being synthesized on this thread. The synthesizer
// calls back on the thread that called it, so no other thread sees it.
thread_local SynthSink* t_sink = nullptr;

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
    espeak_SetSynthCallback(&EspeakLibrary::onBlock);
    voices_ = listVoices(nullptr);
    espeak_VOICE variantSpec;
    std::memset(&variantSpec, 0, sizeof variantSpec);
    variantSpec.languages = "variant";
    variants_ = listVoices(&variantSpec);
    sampleRate_ = rate;
}

int EspeakLibrary::onBlock(short* samples, int count, espeak_EVENT* events)
{
    if (t_sink == nullptr) {
        return 1;
    }
    return t_sink->onSynthBlock(samples, samples ? count : 0, events) ? 0 : 1;
}

bool EspeakLibrary::synthesize(const QByteArray& utf8, unsigned flags, SynthSink& sink)
{
    if (!ready()) {
        return false;
    }
    t_sink = &sink;
    const espeak_ERROR result = espeak_Synth(utf8.constData(), static_cast<size_t>(utf8.size()) + 1,
                                             0, POS_CHARACTER, 0, flags, nullptr, nullptr);
    t_sink = nullptr;
    return result == EE_OK;
}

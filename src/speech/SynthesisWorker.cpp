// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SynthesisWorker.h"

#include "audio/VoiceOutput.h"
#include "speech/EspeakLibrary.h"
#include "speech/FliteLibrary.h"
#include "speech/SentenceSplitter.h"
#include "speech/TextSynthesis.h"

#include <espeak-ng/speak_lib.h>

#include <chrono>
#include <cmath>
#include <future>
#include <string>

namespace {
// Capital letters marked by a raised pitch are raised by this many hertz.
constexpr int kCapitalPitchRaise = 20;

int capitalsParameter(CapitalsMode mode)
{
    switch (mode) {
        case CapitalsMode::SayCapital:
            return 2;
        case CapitalsMode::RaisePitch:
            return kCapitalPitchRaise;
        case CapitalsMode::Ignore:
            break;
    }
    return 0;
}

int punctuationParameter(PunctuationMode mode)
{
    switch (mode) {
        case PunctuationMode::All:
            return espeakPUNCT_ALL;
        case PunctuationMode::Some:
            return espeakPUNCT_SOME;
        case PunctuationMode::None:
            break;
    }
    return espeakPUNCT_NONE;
}

// Puts the configuration on the synthesizer; the library lock is held.
void applyConfig(EspeakLibrary& library, const SpeechConfig& config)
{
    if (library.appliedSettings == config.id) {
        return;
    }
    if (config.synthName.isEmpty() ||
        espeak_SetVoiceByName(config.synthName.constData()) != EE_OK) {
        espeak_SetVoiceByName("en");
    }
    const VoiceSettings& s = config.settings;
    espeak_SetParameter(espeakRATE, config.speed.synthRate, 0);
    espeak_SetParameter(espeakPITCH, s.pitch, 0);
    espeak_SetParameter(espeakRANGE, s.pitchRange, 0);
    espeak_SetParameter(espeakVOLUME, s.volume, 0);
    espeak_SetParameter(espeakWORDGAP, 0, 0);
    espeak_SetParameter(espeakCAPITALS, capitalsParameter(s.capitals), 0);
    if (s.punctuation == PunctuationMode::Some) {
        const std::wstring marks = s.punctuationList.toStdWString();
        espeak_SetPunctuationList(marks.c_str());
    }
    espeak_SetParameter(espeakPUNCTUATION, punctuationParameter(s.punctuation), 0);
    library.appliedSettings = config.id;
}
}  // namespace

SynthesisWorker::SynthesisWorker(VoiceOutput& output) : output_(output)
{
    std::promise<void> started;
    std::future<void> ready = started.get_future();
    thread_ = std::thread([this, started = std::move(started)]() mutable {
        EspeakLibrary& library = EspeakLibrary::instance();
        catalog_ =
            VoiceCatalog(library.voices(), library.variants(), FliteLibrary::instance().voices());
        started.set_value();
        run();
    });
    ready.wait();
    // The output tells when the voice may have fallen silent; the synthesis
    // thread then looks.
    output_.setVoiceIdleListener([this] {
        // Under the lock, so a wait that has just looked is under way first.
        const std::lock_guard<std::mutex> guard(mutex_);
        wake_.notify_all();
    });
}

SynthesisWorker::~SynthesisWorker()
{
    output_.setVoiceIdleListener({});
    cancelAll();
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        quit_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

std::uint64_t SynthesisWorker::enqueue(const QString& text,
                                       std::shared_ptr<const SpeechConfig> config)
{
    std::uint64_t number = 0;
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        number = handed_.load() + 1;
        handed_.store(number);
        queue_.push_back({number, text, std::move(config)});
    }
    wake_.notify_one();
    return number;
}

void SynthesisWorker::cancelAll()
{
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        cancelledThrough_.store(handed_.load());
        queue_.clear();
    }
    output_.flushVoice();
    wake_.notify_all();  // a wait for silence ends now
}

bool SynthesisWorker::busy() const
{
    const std::uint64_t handed = handed_.load();
    return handed > finished_.load() && handed > cancelledThrough_.load();
}

void SynthesisWorker::setWordListener(WordListener listener)
{
    const std::lock_guard<std::mutex> guard(mutex_);
    listener_ = std::move(listener);
}

void SynthesisWorker::setSilenceListener(std::function<void()> listener)
{
    const std::lock_guard<std::mutex> guard(mutex_);
    silenceListener_ = std::move(listener);
}

void SynthesisWorker::run()
{
    for (;;) {
        Job job;
        WordListener listener;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
            if (quit_) {
                return;
            }
            job = std::move(queue_.front());
            queue_.pop_front();
            listener = listener_;
        }
        if (!cancelled(job.number)) {
            speak(job, std::move(listener));
        }
        finished_.store(job.number);
        waitForSilence();
    }
}

// Waits on its own thread, never on the GUI thread, until the last pushed
// sample has left the output (the output's idle listener wakes it) or the
// next text comes.
void SynthesisWorker::waitForSilence()
{
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait(lock, [this] { return quit_ || !queue_.empty() || output_.voiceIdle(); });
    if (quit_ || !queue_.empty()) {
        return;
    }
    const std::function<void()> listener = silenceListener_;
    lock.unlock();
    if (listener) {
        listener();
    }
}

void SynthesisWorker::speak(const Job& job, WordListener listener)
{
    const SpeechConfig& config = *job.config;
    const bool flite = config.family == VoiceFamily::Flite;
    TextSynthesis::Params params;
    params.textNumber = job.number;
    params.cancelledThrough = &cancelledThrough_;
    params.sampleRate = flite ? FliteLibrary::instance().sampleRate(config.synthName)
                              : EspeakLibrary::instance().sampleRate();
    const double pause = config.speed.pauseSeconds + config.settings.wordGapMs / 1000.0;
    params.pauseFrames = static_cast<std::size_t>(std::lround(pause * params.sampleRate));
    // espeak-ng sets the volume itself.
    params.gain = flite ? config.settings.volume / 100.0 : 1.0;
    params.listener = std::move(listener);
    const QString text = config.translator.translate(job.text);
    output_.setVoiceVolume(config.settings.volume);
    TextSynthesis synthesis(output_, std::move(params));
    if (flite) {
        speakFlite(text, config, synthesis);
    } else {
        speakEspeak(text, config, synthesis);
    }
}

void SynthesisWorker::speakEspeak(const QString& text, const SpeechConfig& config,
                                  TextSynthesis& synthesis)
{
    // espeak-ng makes its sound clause by clause already.
    EspeakLibrary& library = EspeakLibrary::instance();
    const auto lock = library.lock();
    if (synthesis.cancelled() || !library.ready()) {
        return;
    }
    applyConfig(library, config);
    synthesis.beginCall();
    library.synthesize(text, espeakCHARS_UTF8 | espeakPHONEMES | espeakENDPAUSE, synthesis);
}

void SynthesisWorker::speakFlite(const QString& text, const SpeechConfig& config,
                                 TextSynthesis& synthesis)
{
    FliteLibrary& library = FliteLibrary::instance();
    FliteLibrary::Tuning tuning;
    tuning.durationStretch = config.speed.durationStretch;
    // Pitch 0..100 spans an octave around the voice's own (50); the range
    // goes from flat (0) to twice the voice's own (100).
    tuning.pitchFactor = std::exp2((config.settings.pitch - 50) / 100.0);
    tuning.rangeFactor = config.settings.pitchRange / 50.0;
    // One sentence at a time: the first plays while the next is made, and a
    // stop waits for no more than the sentence in hand.
    for (const QString& sentence : SentenceSplitter::split(text)) {
        const auto lock = library.lock();
        if (synthesis.cancelled()) {
            return;
        }
        synthesis.beginCall();
        library.synthesize(config.synthName, sentence, tuning, synthesis);
    }
}

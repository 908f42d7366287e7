// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the announcer voice, for each voice family (espeak-ng's main
// English voice, flite's slt): how much faster than real time a 60-word
// announcement is synthesized (into a sink that takes samples at once, and
// through the player library's mixer as fast as it goes), and how long it
// takes from speak() until the first voice sample reaches the output callback
// of the real output. The last line is that time for flite.
//
//   speech_bench
#include "SinkReader.h"
#include "audio/AudioEngine.h"
#include "audio/VoiceOutput.h"
#include "speech/TextToSpeech.h"
#include "speech/VoiceSettingsStore.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const char* const kAnnouncement =
    "That was Walking on Sunshine, a real classic from the eighties that never gets old, played "
    "just for you right here tonight, "
    "and Tonights time is 08:05 PM. Tonights tech headlines are as follows. A new open "
    "source compiler makes programs faster on older machines. Scientists build a battery "
    "that charges in a minute. And now, back to the music.";

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Takes every sample at once and counts it.
class CountingOutput : public VoiceOutput {
public:
    bool pushVoice(const std::int16_t*, std::size_t frames, int sampleRate, int) override
    {
        frames_ += frames;
        rate_ = sampleRate;
        return true;
    }
    void flushVoice() override {}
    bool voiceIdle() const override { return true; }
    // Always idle: nobody waits to be told.
    void setVoiceIdleListener(std::function<void()>) override {}
    std::uint64_t voiceFramesPlayed() const override { return frames_; }
    double seconds() const { return rate_ > 0 ? double(frames_.load()) / rate_ : 0.0; }
    void reset() { frames_ = 0; }

private:
    std::atomic<std::uint64_t> frames_{0};
    int rate_ = 0;
};

void waitSilent(const TextToSpeech& talk)
{
    while (talk.speakingState() != 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

struct Family {
    const char* label;
    const char* identity;
};

void selectVoice(TextToSpeech& talk, const Family& family)
{
    talk.selectEngine(talk.engineForIdentity(QString::fromLatin1(family.identity)));
}

void synthesisSpeed(const QString& text, const Family& family)
{
    CountingOutput sink;
    TextToSpeech talk(sink);
    selectVoice(talk, family);
    talk.speak(text);  // warms the voice up
    waitSilent(talk);
    constexpr int kRounds = 10;
    double audio = 0.0;
    double wall = 0.0;
    double cpu = 0.0;
    for (int i = 0; i < kRounds; ++i) {
        sink.reset();
        const double cpu0 = cpuSeconds();
        const auto start = Clock::now();
        talk.speak(text);
        waitSilent(talk);
        wall += msSince(start) / 1000.0;
        cpu += cpuSeconds() - cpu0;
        audio += sink.seconds();
    }
    std::printf("%s announcement: %d words, %.2f s of speech\n", family.label,
                int(text.split(' ', Qt::SkipEmptyParts).size()), audio / kRounds);
    std::printf("%s synthesis (voice only): %.1f ms wall, %.1f ms cpu a round\n", family.label,
                wall / kRounds * 1000, cpu / kRounds * 1000);
    std::printf("%s synthesis speed: %.0fx real time (wall), %.0fx (cpu)\n", family.label,
                audio / wall, audio / cpu);
}

void mixedSpeed(const QString& text, const Family& family)
{
    AudioEngine::Options options;
    options.output = AudioEngine::Output::Unpaced;
    AudioEngine engine(options);
    TextToSpeech talk(engine);
    selectVoice(talk, family);
    talk.speak(text);
    waitSilent(talk);
    const std::uint64_t before = engine.voiceFramesPlayed();
    const auto start = Clock::now();
    talk.speak(text);
    waitSilent(talk);
    const double wall = msSince(start) / 1000.0;
    // Played frames count at the voice's own rate.
    const int rate = QString::fromLatin1(family.identity).startsWith("flite:") ? 16000 : 22050;
    const double audio = double(engine.voiceFramesPlayed() - before) / rate;
    std::printf("%s through the mixer (unpaced output): %.0fx real time\n", family.label,
                audio / wall);
}

struct FirstSample {
    std::atomic<bool> armed{false};
    std::atomic<bool> heard{false};
    Clock::time_point at;
};

// On the output sink's reader, woken by the callback that rendered the block.
void onOutput(FirstSample* probe, const std::int16_t* frames, std::size_t count)
{
    if (!probe->armed.load(std::memory_order_acquire) || probe->heard.load()) {
        return;
    }
    // The output is stereo; any sample off zero is the voice (nothing else plays).
    for (std::size_t i = 0; i < count * 2; ++i) {
        if (frames[i] != 0) {
            probe->at = Clock::now();
            probe->heard.store(true, std::memory_order_release);
            return;
        }
    }
}

// With `asleep`, each try waits until the output has gone to sleep (closed
// the device) first, so the voice has to wake it.
double firstSampleLatency(const QString& text, const Family& family, bool asleep = false)
{
    FirstSample probe;
    AudioEngine::Options options;
    options.sleepAfter = std::chrono::milliseconds(200);
    if (!asleep) {
        options.sleepAfter = std::chrono::hours(1);
    }
    const auto quiet = std::chrono::milliseconds(asleep ? 600 : 150);
    AudioEngine engine(options);
    SinkReader reader(engine, [&probe](const std::int16_t* frames, std::size_t count) {
        onOutput(&probe, frames, count);
    });
    std::printf("output: %s\n", engine.outputName().toUtf8().constData());
    TextToSpeech talk(engine);
    selectVoice(talk, family);
    std::vector<double> times;
    for (int i = 0; i < 15; ++i) {
        talk.stop();
        std::this_thread::sleep_for(quiet);
        probe.heard = false;
        probe.armed.store(true, std::memory_order_release);
        const auto start = Clock::now();
        talk.speak(text);
        while (!probe.heard.load(std::memory_order_acquire) && msSince(start) < 2000) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        probe.armed = false;
        times.push_back(probe.heard
                            ? std::chrono::duration<double, std::milli>(probe.at - start).count()
                            : 2000.0);
    }
    talk.stop();
    std::sort(times.begin(), times.end());
    std::printf("%s first voice sample%s: min %.1f ms, median %.1f ms, max %.1f ms (%zu tries)\n",
                family.label, asleep ? " after the output slept" : "", times.front(),
                times[times.size() / 2], times.back(), times.size());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The voice settings of the user's profile stay out of the figures.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    const QString text = QString::fromLatin1(kAnnouncement);
    const Family families[] = {{"espeak-ng", "espeak-ng:en-us"}, {"flite", "flite:cmu_us_slt"}};
    double first[2] = {};
    double woken[2] = {};
    for (int i = 0; i < 2; ++i) {
        synthesisSpeed(text, families[i]);
        mixedSpeed(text, families[i]);
        first[i] = firstSampleLatency(text, families[i]);
        woken[i] = firstSampleLatency(text, families[i], true);
    }
    std::printf("espeak-ng first voice sample after the output slept ms: %.1f\n", woken[0]);
    std::printf("flite first voice sample after the output slept ms: %.1f\n", woken[1]);
    std::printf("espeak-ng first voice sample ms: %.1f\n", first[0]);
    std::printf("flite first voice sample ms: %.1f\n", first[1]);
    return 0;
}

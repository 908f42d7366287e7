// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechConfig.h"
#include "speech/SpeechDialogProvider.h"
#include "speech/SpeechEngine.h"
#include "speech/SpokenWord.h"
#include "speech/VoiceTuning.h"

#include <memory>

struct VoiceEngineInfo;
class SynthesisWorker;
class VoiceOutput;

// The announcer voice on flite and espeak-ng. Texts are synthesized in order
// on one synthesis thread and mixed into the voice output as they come; the
// GUI thread never waits for synthesis. Engines are flite's English voices,
// then espeak-ng's installed voices and variants (English first); speed is in
// words per minute. The voice settings
// of the three dialogs are read from the program's settings at construction.
// Every method is for the GUI thread.
class TextToSpeech : public SpeechEngine, public VoiceTuning {
public:
    // output must outlive the engine. The voice settings are kept in the
    // program's own settings location.
    explicit TextToSpeech(VoiceOutput& output);
    ~TextToSpeech() override;
    TextToSpeech(const TextToSpeech&) = delete;
    TextToSpeech& operator=(const TextToSpeech&) = delete;

    void speak(const QString& text) override;
    void stop() override;
    int speakingState() const override;

    int speed() const override { return speed_; }
    void setSpeed(int wordsPerMinute) override;

    void generalDialog(QWidget* owner, const QString& title) override;
    void lexiconDialog(QWidget* owner, const QString& title) override;
    void translationDialog(QWidget* owner, const QString& title) override;

    int engineCount() const override;
    QString engineName(int engine) const override;
    QString engineManufacturer(int engine) const override;
    QString engineListEntry(int engine) const override;
    QString engineSpeaker(int engine) const override;
    QString engineStyle(int engine) const override;
    QString engineDialect(int engine) const override;
    int engineGender(int engine) const override;
    int engineAge(int engine) const override;
    void selectEngine(int engine) override;
    int selectedEngine() const { return engine_; }

    // "flite:cmu_us_slt", "espeak-ng:en-us", ...
    QString engineIdentity(int engine) const override;
    int engineForIdentity(const QString& identity) const override;
    // Numbers saved before flite's voices came counted espeak-ng's alone.
    int migratedEngineNumber(int savedNumber) const override;

    VoiceSettings voiceSettings() const override { return settings_; }
    void applyVoiceSettings(const VoiceSettings& settings) override;
    bool saveVoiceSettings() override;
    void tryVoice(const QString& text) override;

    // Not owned; null removes it (the dialogs then fail with SpeechError).
    void setDialogProvider(SpeechDialogProvider* provider) { dialogs_ = provider; }
    // Hears every word as it is synthesized, on the synthesis thread.
    void setWordListener(WordListener listener);

private:
    void announceIfSilent();
    const VoiceEngineInfo& engineInfo(int engine) const;
    void showDialog(SpeechDialogProvider::Dialog dialog, QWidget* owner, const QString& title);
    void rebuildConfig();

    VoiceOutput& output_;
    std::unique_ptr<SynthesisWorker> worker_;
    SpeechDialogProvider* dialogs_ = nullptr;

    int engine_ = 1;
    int speed_ = SpeedPlan::kDefaultWordsPerMinute;
    VoiceSettings settings_;
    std::shared_ptr<const SpeechConfig> config_;
};

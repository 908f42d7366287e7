// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/TextToSpeech.h"

#include "audio/VoiceOutput.h"
#include "speech/SynthesisWorker.h"
#include "speech/VoiceSettingsStore.h"

#include <algorithm>
#include <string>

TextToSpeech::TextToSpeech(VoiceOutput& output)
    : output_(output),
      worker_(std::make_unique<SynthesisWorker>(output)),
      settings_(VoiceSettingsStore().load())
{
    rebuildConfig();
    worker_->setSilenceListener([this] {
        QMetaObject::invokeMethod(this, &TextToSpeech::announceIfSilent, Qt::QueuedConnection);
    });
}

TextToSpeech::~TextToSpeech() = default;

void TextToSpeech::announceIfSilent()
{
    if (speakingState() == 0) {
        emit speechFinished();
    }
}

void TextToSpeech::speak(const QString& text)
{
    worker_->enqueue(text, config_);
}

void TextToSpeech::stop()
{
    worker_->cancelAll();
    emit speechStopped();
    // Later, so whoever stopped the voice is not re-entered from here.
    QMetaObject::invokeMethod(this, &TextToSpeech::announceIfSilent, Qt::QueuedConnection);
}

int TextToSpeech::speakingState() const
{
    return worker_->busy() || !output_.voiceIdle() ? 1 : 0;
}

void TextToSpeech::setSpeed(int wordsPerMinute)
{
    speed_ =
        std::clamp(wordsPerMinute, SpeedPlan::kMinWordsPerMinute, SpeedPlan::kMaxWordsPerMinute);
    rebuildConfig();
}

void TextToSpeech::generalDialog(QWidget* owner, const QString& title)
{
    showDialog(SpeechDialogProvider::Dialog::General, owner, title);
}

void TextToSpeech::lexiconDialog(QWidget* owner, const QString& title)
{
    showDialog(SpeechDialogProvider::Dialog::Lexicon, owner, title);
}

void TextToSpeech::translationDialog(QWidget* owner, const QString& title)
{
    showDialog(SpeechDialogProvider::Dialog::Translation, owner, title);
}

void TextToSpeech::showDialog(SpeechDialogProvider::Dialog dialog, QWidget* owner,
                              const QString& title)
{
    if (dialogs_ == nullptr) {
        throw SpeechError("this voice engine has no dialogs");
    }
    dialogs_->showDialog(dialog, owner, title, *this);
}

int TextToSpeech::engineCount() const
{
    return worker_->catalog().count();
}

const VoiceEngineInfo& TextToSpeech::engineInfo(int engine) const
{
    const VoiceEngineInfo* info = worker_->catalog().engine(engine);
    if (info == nullptr) {
        throw SpeechError("no voice engine number " + std::to_string(engine));
    }
    return *info;
}

QString TextToSpeech::engineName(int engine) const
{
    return engineInfo(engine).name;
}

QString TextToSpeech::engineManufacturer(int engine) const
{
    return engineInfo(engine).manufacturer;
}

QString TextToSpeech::engineListEntry(int engine) const
{
    return engineInfo(engine).listEntry;
}
QString TextToSpeech::engineSpeaker(int engine) const
{
    return engineInfo(engine).speaker;
}
QString TextToSpeech::engineStyle(int engine) const
{
    return engineInfo(engine).style;
}
QString TextToSpeech::engineDialect(int engine) const
{
    return engineInfo(engine).dialect;
}
int TextToSpeech::engineGender(int engine) const
{
    return engineInfo(engine).gender;
}
int TextToSpeech::engineAge(int engine) const
{
    return engineInfo(engine).age;
}

void TextToSpeech::selectEngine(int engine)
{
    engineInfo(engine);
    engine_ = engine;
    rebuildConfig();
}

QString TextToSpeech::engineIdentity(int engine) const
{
    return engineInfo(engine).identity;
}

int TextToSpeech::engineForIdentity(const QString& identity) const
{
    return worker_->catalog().engineForIdentity(identity);
}

int TextToSpeech::migratedEngineNumber(int savedNumber) const
{
    return worker_->catalog().engineFromEspeakOnlyNumber(savedNumber);
}

void TextToSpeech::applyVoiceSettings(const VoiceSettings& settings)
{
    settings_ = settings.normalized();
    rebuildConfig();
}

bool TextToSpeech::saveVoiceSettings()
{
    return VoiceSettingsStore().save(settings_);
}

void TextToSpeech::tryVoice(const QString& text)
{
    stop();
    speak(text);
}

void TextToSpeech::setWordListener(WordListener listener)
{
    worker_->setWordListener(std::move(listener));
}

void TextToSpeech::rebuildConfig()
{
    config_ =
        std::make_shared<const SpeechConfig>(worker_->catalog().engine(engine_), speed_, settings_);
}

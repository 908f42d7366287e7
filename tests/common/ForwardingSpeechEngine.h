// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechEngine.h"

#include <QStringList>

// Hands every call on to a real voice and passes its signals on;
// given an event log, it notes "say <text>" there first.
class ForwardingSpeechEngine : public SpeechEngine {
public:
    explicit ForwardingSpeechEngine(SpeechEngine& target, QStringList* log = nullptr)
        : target_(target), log_(log)
    {
        connect(&target_, &SpeechEngine::speechFinished, this, &SpeechEngine::speechFinished);
        connect(&target_, &SpeechEngine::speechStopped, this, &SpeechEngine::speechStopped);
    }

    void speak(const QString& text) override
    {
        if (log_ != nullptr) {
            *log_ << QStringLiteral("say ") + text;
        }
        target_.speak(text);
    }
    void stop() override { target_.stop(); }
    int speakingState() const override { return target_.speakingState(); }
    int speed() const override { return target_.speed(); }
    void setSpeed(int wordsPerMinute) override { target_.setSpeed(wordsPerMinute); }
    void generalDialog(QWidget* owner, const QString& title) override
    {
        target_.generalDialog(owner, title);
    }
    void lexiconDialog(QWidget* owner, const QString& title) override
    {
        target_.lexiconDialog(owner, title);
    }
    void translationDialog(QWidget* owner, const QString& title) override
    {
        target_.translationDialog(owner, title);
    }
    int engineCount() const override { return target_.engineCount(); }
    QString engineName(int n) const override { return target_.engineName(n); }
    QString engineManufacturer(int n) const override { return target_.engineManufacturer(n); }
    QString engineListEntry(int n) const override { return target_.engineListEntry(n); }
    QString engineSpeaker(int n) const override { return target_.engineSpeaker(n); }
    QString engineStyle(int n) const override { return target_.engineStyle(n); }
    QString engineDialect(int n) const override { return target_.engineDialect(n); }
    int engineGender(int n) const override { return target_.engineGender(n); }
    int engineAge(int n) const override { return target_.engineAge(n); }
    void selectEngine(int n) override { target_.selectEngine(n); }

private:
    SpeechEngine& target_;
    QStringList* log_;
};

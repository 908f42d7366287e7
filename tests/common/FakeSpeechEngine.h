// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechEngine.h"

#include <QStringList>

// A voice that records what it is asked to say. It stays "speaking" after a
// speak() until the test calls finishSpeaking() (or stop() is called), and
// then reports speechFinished() as the real voice does. Given an event log
// (shared with a FakeMpegPlayer), it also notes "say <text>" there.
class FakeSpeechEngine : public SpeechEngine {
public:
    explicit FakeSpeechEngine(QStringList* log = nullptr) : log_(log) {}

    void speak(const QString& text) override
    {
        if (log_ != nullptr) {
            *log_ << QStringLiteral("say ") + text;
        }
        spoken << text;
        calls << QStringLiteral("speak ") + text;
        speaking = 1;
    }
    void stop() override
    {
        calls << QStringLiteral("stop");
        speaking = 0;
        emit speechStopped();
        // Later, as the real voice reports it.
        QMetaObject::invokeMethod(
            this, [this] { emit speechFinished(); }, Qt::QueuedConnection);
    }
    int speakingState() const override { return speaking; }
    void finishSpeaking()
    {
        speaking = 0;
        emit speechFinished();
    }

    int speed() const override { return speed_; }
    void setSpeed(int wordsPerMinute) override
    {
        calls << QStringLiteral("setSpeed %1").arg(wordsPerMinute);
        speed_ = wordsPerMinute;
    }

    void generalDialog(QWidget*, const QString&) override { dialog("general"); }
    void lexiconDialog(QWidget*, const QString&) override { dialog("lexicon"); }
    void translationDialog(QWidget*, const QString&) override { dialog("translation"); }

    int engineCount() const override { return static_cast<int>(engines.size()); }
    QString engineName(int n) const override { return entry(n) + QStringLiteral(" name"); }
    QString engineManufacturer(int n) const override
    {
        entry(n);
        return QStringLiteral("Fake Voices");
    }
    QString engineListEntry(int n) const override { return entry(n); }
    QString engineSpeaker(int n) const override { return entry(n) + QStringLiteral(" speaker"); }
    QString engineStyle(int n) const override { return entry(n) + QStringLiteral(" style"); }
    QString engineDialect(int n) const override { return entry(n) + QStringLiteral(" dialect"); }
    int engineGender(int n) const override
    {
        entry(n);
        return n % 3;
    }
    int engineAge(int n) const override
    {
        entry(n);
        return 20 + n;
    }
    void selectEngine(int n) override
    {
        entry(n);
        calls << QStringLiteral("selectEngine %1").arg(n);
        selected = n;
    }

    // With identities set, engine n's is identities[n - 1], and numbers saved
    // by an earlier version move up by movedBy.
    QString engineIdentity(int n) const override
    {
        entry(n);
        return identities.value(n - 1);
    }
    int engineForIdentity(const QString& identity) const override
    {
        return identity.isEmpty() ? 0 : static_cast<int>(identities.indexOf(identity)) + 1;
    }
    int migratedEngineNumber(int saved) const override { return saved + movedBy; }

    QStringList identities;
    int movedBy = 0;
    QStringList spoken;
    QStringList calls;
    QStringList engines{QStringLiteral("English"), QStringLiteral("German")};
    bool dialogsFail = false;
    int speaking = 0;
    int selected = 0;

private:
    QString entry(int n) const
    {
        if (n < 1 || n > engines.size()) {
            throw SpeechError("no such engine");
        }
        return engines.at(n - 1);
    }
    void dialog(const char* which)
    {
        if (dialogsFail) {
            throw SpeechError("dialog not supported");
        }
        calls << QStringLiteral("dialog ") + QLatin1String(which);
    }
    int speed_ = 165;
    QStringList* log_;
};

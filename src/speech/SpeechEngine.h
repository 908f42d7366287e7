// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <stdexcept>

class QWidget;

// Thrown by the operations that can fail: an engine number out of range, or a
// dialog the engine lacks. Speaking, stopping and the speaking state never
// throw.
class SpeechError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The announcer voice as the program uses it. Every method is called on the
// GUI thread; engine numbers are 1-based.
class SpeechEngine : public QObject {
    Q_OBJECT
public:
    explicit SpeechEngine(QObject* parent = nullptr) : QObject(parent) {}
    ~SpeechEngine() override = default;

    // Returns at once; texts handed over one after another are spoken in order.
    virtual void speak(const QString& text) = 0;
    // Ends the speech in progress and drops everything queued; emits
    // speechStopped() before it returns.
    virtual void stop() = 0;
    // Non-zero from the moment a text is handed over until its last sample has
    // left the output; 0 afterwards.
    virtual int speakingState() const = 0;

    // Words per minute, 10 to 500.
    virtual int speed() const = 0;
    virtual void setSpeed(int wordsPerMinute) = 0;

    virtual void generalDialog(QWidget* owner, const QString& title) = 0;
    virtual void lexiconDialog(QWidget* owner, const QString& title) = 0;
    virtual void translationDialog(QWidget* owner, const QString& title) = 0;

    virtual int engineCount() const = 0;
    virtual QString engineName(int engine) const = 0;
    virtual QString engineManufacturer(int engine) const = 0;
    virtual QString engineListEntry(int engine) const = 0;
    virtual QString engineSpeaker(int engine) const = 0;
    virtual QString engineStyle(int engine) const = 0;
    virtual QString engineDialect(int engine) const = 0;
    // 1 female, 2 male, any other value neutral.
    virtual int engineGender(int engine) const = 0;
    virtual int engineAge(int engine) const = 0;
    virtual void selectEngine(int engine) = 0;

    // A name for the engine that stays the same when other voices come or go
    // (engine numbers do not); empty when the engine has none.
    virtual QString engineIdentity(int engine) const
    {
        engineName(engine);
        return {};
    }
    // The number of the engine with that identity; 0 when there is none.
    virtual int engineForIdentity(const QString& /*identity*/) const { return 0; }
    // An engine number that an earlier version of the program saved, in
    // today's numbering.
    virtual int migratedEngineNumber(int savedNumber) const { return savedNumber; }

signals:
    // The voice fell silent: everything handed over has been spoken and has
    // left the output, or was stopped. Emitted on the GUI thread, after
    // speakingState() turned 0.
    void speechFinished();
    // stop() was called: whatever was handed over and not yet heard is
    // dropped. Whoever feeds the voice later (a headline fetch) drops too.
    void speechStopped();
};

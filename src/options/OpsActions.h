// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options/EngineDialog.h"
#include "options/OpsChoices.h"
#include "options/VoiceEngineDetails.h"
#include "settings/Setting.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>

class QWidget;
class SpeechEngine;
class RadioSettings;
class RandomSource;

// The work behind the options window's controls, kept apart from the widgets.
// Reads (engine list, engine details) skip whatever fails; the button actions
// (save, try the voice, engine dialogs) stop at the first failure and throw,
// leaving done whatever came before it. GUI thread only.
class OpsActions {
public:
    static const QString kTestSentence;

    OpsActions(RadioSettings& settings, RandomSource& random, SpeechEngine& talk);

    // Number of installed engines; empty when the engine cannot tell.
    std::optional<int> engineCount() const;
    // List texts of engines 1..count. An entry the engine cannot give is left
    // empty so that list positions keep matching engine numbers.
    QStringList engineEntries(int count) const;
    VoiceEngineDetails details(int engine) const;
    // The speed set on the engine now; empty when the engine cannot tell.
    std::optional<int> currentSpeed() const;

    // Choosing an entry in the list: the shared engine number follows it, but
    // neither the store nor the engine in use changes.
    void chooseEngine(int engine);

    void showDialog(EngineDialog which, QWidget* owner);
    // Selects the engine, sets the speed and speaks the test sentence. Both stay
    // in effect; nothing is stored.
    void tryVoice(int engine, int speed);
    // A headline source that is neither a host name nor an http(s) URL.
    struct RefusedNewsHost : std::invalid_argument {
        RefusedNewsHost() : std::invalid_argument("no host name or web address") {}
    };

    // Engine and speed first, then each setting in turn, variable and store;
    // NewsHost last, and only when it differs from what is stored. An
    // unacceptable NewsHost throws RefusedNewsHost before anything changes.
    void save(const OpsChoices& choices);

    // The stored headline source; the default when none is stored.
    QString newsHost() const;
    // A host name or an http(s) URL: anything else is not saved.
    static bool acceptsNewsHost(const QString& value);

    // Called after each write to the store with the key written.
    void setAfterWrite(std::function<void(const QString& key)> observer);

private:
    void write(const SettingBase& setting);
    void writeText(const QString& key, const QString& text);
    void saveFlag(Setting<bool>& setting, bool checked);
    std::int16_t drawCount();

    RadioSettings& vars_;
    RandomSource& random_;
    SpeechEngine& talk_;
    std::function<void(const QString&)> afterWrite_;
};

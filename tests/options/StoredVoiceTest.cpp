// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/StoredVoice.h"

#include "base/RandomSource.h"
#include "common/FakeSpeechEngine.h"
#include "common/StoredSettings.h"
#include "common/TestSupport.h"
#include "settings/RadioSettings.h"
#include "settings/SettingsCatalogue.h"

#include <gtest/gtest.h>

using stored_settings::store;
using stored_settings::stored;

namespace {
// Start-up as the main window runs it: the settings, then the voice.
class StoredVoiceTest : public ::testing::Test {
protected:
    void load()
    {
        LoadSettings(settings, random, {});
        UseStoredVoice(settings, voice);
    }

    testing_support::SettingsSandbox sandbox;
    RadioSettings settings;
    RandomSource random;
    FakeSpeechEngine voice;
};
}  // namespace

TEST_F(StoredVoiceTest, TheStoredEngineAndSpeedAreSelected)
{
    const struct {
        const char* engineNum;  // nullptr: not stored
        const char* engineSpeed;
        QStringList calls;
    } cases[] = {
        // A fresh profile: the defaults, and nothing is written.
        {nullptr, nullptr, {QStringLiteral("selectEngine 1"), QStringLiteral("setSpeed 165")}},
        {"2", "500", {QStringLiteral("selectEngine 2"), QStringLiteral("setSpeed 500")}},
        // A speed that does not convert leaves the speed in use.
        {"1", "9999999999", {QStringLiteral("selectEngine 1"), QStringLiteral("setSpeed 120")}},
    };
    for (const auto& c : cases) {
        stored_settings::options().clear();
        if (c.engineNum != nullptr) {
            store(QStringLiteral("EngineNum"), QString::fromLatin1(c.engineNum));
            store(QStringLiteral("EngineSpeed"), QString::fromLatin1(c.engineSpeed));
        }
        settings.EngineSpeed = 120;
        voice.calls.clear();
        load();
        EXPECT_EQ(voice.calls, c.calls) << c.engineSpeed;
        if (c.engineNum == nullptr) {
            EXPECT_TRUE(stored_settings::storedKeys().isEmpty());
        }
    }
}

TEST_F(StoredVoiceTest, AFailingVoiceStepIsSkipped)
{
    store(QStringLiteral("EngineNum"), QStringLiteral("9"));
    store(QStringLiteral("EngineSpeed"), QStringLiteral("200"));
    store(QStringLiteral("MakeItTop"), QStringLiteral("False"));
    load();
    EXPECT_EQ(voice.calls, QStringList({QStringLiteral("setSpeed 200")}));
    EXPECT_EQ(settings.EngineNum, 9);
    EXPECT_FALSE(settings.MakeItTop);
}

TEST_F(StoredVoiceTest, TheStoredVoiceIsKeptWhenEngineNumbersMove)
{
    // Two voices came before the two an earlier version listed.
    voice.engines = {"a", "b", "x", "y"};
    voice.identities = {"flite:a", "flite:b", "espeak-ng:x", "espeak-ng:y"};
    voice.movedBy = 2;
    const struct {
        const char* engineNum;  // nullptr: not stored
        const char* engineVoice;
        int engine;
        const char* storedNum;
        const char* storedVoice;
    } cases[] = {
        // A fresh profile takes engine 1 and stores nothing.
        {nullptr, nullptr, 1, "<missing>", "<missing>"},
        // Saved before voices had identities: moved once, and stored so.
        {"2", nullptr, 4, "4", "espeak-ng:y"},
        {"1", nullptr, 3, "3", "espeak-ng:x"},
        // The identity wins over the number beside it.
        {"9", "espeak-ng:x", 3, "9", "espeak-ng:x"},
        {"1", "flite:b", 2, "1", "flite:b"},
        // A voice that is gone leaves the number as stored.
        {"2", "espeak-ng:gone", 2, "2", "espeak-ng:gone"},
        // A number that named no voice names none now, and nothing is stored.
        {"7", nullptr, 9, "7", "<missing>"},
    };
    for (const auto& c : cases) {
        stored_settings::options().clear();
        if (c.engineNum != nullptr) {
            store(QStringLiteral("EngineNum"), QString::fromLatin1(c.engineNum));
        }
        if (c.engineVoice != nullptr) {
            store(QStringLiteral("EngineVoice"), QString::fromLatin1(c.engineVoice));
        }
        voice.selected = 0;
        load();
        EXPECT_EQ(settings.EngineNum, c.engine) << c.engineNum;
        EXPECT_EQ(voice.selected, c.engine > 4 ? 0 : c.engine) << c.engineNum;
        EXPECT_EQ(stored(QStringLiteral("EngineNum")), c.storedNum) << c.engineNum;
        EXPECT_EQ(stored(QStringLiteral("EngineVoice")), c.storedVoice) << c.engineNum;
        // Loading again changes nothing more.
        load();
        EXPECT_EQ(settings.EngineNum, c.engine) << c.engineNum;
    }
}

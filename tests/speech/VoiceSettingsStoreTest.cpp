// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TestSupport.h"
#include "speech/VoiceSettingsStore.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>

namespace {

TEST(VoiceSettingsStoreTest, AFreshProfileGivesTheDefaults)
{
    testing_support::SettingsSandbox sandbox;
    EXPECT_EQ(VoiceSettingsStore().load(), VoiceSettings());
}

TEST(VoiceSettingsStoreTest, SettingsComeBackAsSavedBesideTheOptions)
{
    testing_support::SettingsSandbox sandbox;
    VoiceSettings s;
    s.pitch = 80;
    s.pitchRange = 10;
    s.volume = 150;
    s.wordGapMs = 120;
    s.punctuation = PunctuationMode::Some;
    s.punctuationList = "?!";
    s.capitals = CapitalsMode::RaisePitch;
    s.numbers = NumbersMode::Digits;
    s.symbols[1].sayAs = "plus also";
    s.lexicon = {{"Tolvar", "Toll var", false}, {"a=b, c", "h@'loU", true}};
    ASSERT_TRUE(VoiceSettingsStore().save(s));
    EXPECT_EQ(VoiceSettingsStore().load(), s);

    QSettings file(sandbox.settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(file.value("Voice/Pitch").toString(), "80");
    EXPECT_EQ(file.value("Voice/Word2").toString(), "a=b, c");

    // A shorter list replaces a longer one, leaving nothing of it behind; the
    // program's Options stay.
    file.setValue("Options/EngineNum", "3");
    file.sync();
    s.lexicon.removeFirst();
    ASSERT_TRUE(VoiceSettingsStore().save(s));
    EXPECT_EQ(VoiceSettingsStore().load().lexicon, s.lexicon);
    QSettings after(sandbox.settingsFile(), QSettings::IniFormat);
    EXPECT_FALSE(after.contains("Voice/Word2"));
    EXPECT_EQ(after.value("Options/EngineNum").toString(), "3");
}

TEST(VoiceSettingsStoreTest, BrokenValuesFallBackOrAreBroughtIntoRange)
{
    testing_support::SettingsSandbox sandbox;
    {
        QSettings file(sandbox.settingsFile(), QSettings::IniFormat);
        file.beginGroup("Voice");
        file.setValue("Pitch", "loud");
        file.setValue("Volume", "9000");
        file.setValue("WordGap", "-5");
        file.setValue("Punctuation", "7");
        file.setValue("LexiconCount", "3");
        file.setValue("Word1", "  ");
        file.setValue("Word2", "ok");
        file.setValue("Say2", "okay");
    }
    const VoiceSettings s = VoiceSettingsStore().load();
    EXPECT_EQ(s.pitch, 50);
    EXPECT_EQ(s.volume, VoiceSettings::kMaxVolume);
    EXPECT_EQ(s.wordGapMs, 0);
    EXPECT_EQ(s.punctuation, PunctuationMode::None);
    ASSERT_EQ(s.lexicon.size(), 1);
    EXPECT_EQ(s.lexicon[0], (LexiconEntry{"ok", "okay", false}));
}

}  // namespace

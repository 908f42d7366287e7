#include "common/TestSupport.h"
#include "settings/CRegSettings.h"
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

    // A shorter list replaces a longer one.
    s.lexicon.removeFirst();
    ASSERT_TRUE(VoiceSettingsStore().save(s));
    EXPECT_EQ(VoiceSettingsStore().load().lexicon, s.lexicon);
}

TEST(VoiceSettingsStoreTest, BrokenValuesFallBackOrAreBroughtIntoRange)
{
    testing_support::SettingsSandbox sandbox;
    CRegSettings settings;
    settings.setCompany("Quintaviel Software");
    settings.setAppName("Tolvar MP3 v1.0");
    settings.SaveSetting("Voice", "Pitch", "loud");
    settings.SaveSetting("Voice", "Volume", "9000");
    settings.SaveSetting("Voice", "WordGap", "-5");
    settings.SaveSetting("Voice", "Punctuation", "7");
    settings.SaveSetting("Voice", "LexiconCount", "3");
    settings.SaveSetting("Voice", "Word1", "  ");
    settings.SaveSetting("Voice", "Word2", "ok");
    settings.SaveSetting("Voice", "Say2", "okay");
    const VoiceSettings s = VoiceSettingsStore(settings).load();
    EXPECT_EQ(s.pitch, 50);
    EXPECT_EQ(s.volume, VoiceSettings::kMaxVolume);
    EXPECT_EQ(s.wordGapMs, 0);
    EXPECT_EQ(s.punctuation, PunctuationMode::None);
    ASSERT_EQ(s.lexicon.size(), 1);
    EXPECT_EQ(s.lexicon[0], (LexiconEntry{"ok", "okay", false}));
}

}  // namespace

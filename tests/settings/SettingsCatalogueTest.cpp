#include "settings/SettingsCatalogue.h"

#include "common/FakeSpeechEngine.h"
#include "common/TestSupport.h"
#include "core/Tolvars.h"
#include "settings/CRegSettings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <cmath>

namespace {
class SettingsCatalogueTest : public ::testing::Test {
protected:
    // Writes values the way an earlier run of the program would have.
    void store(const QString& key, const QString& text)
    {
        QSettings file(sandbox.settingsFile(), QSettings::IniFormat);
        file.setValue(QStringLiteral("Options/") + key, text);
    }
    QString stored(const QString& key)
    {
        QSettings file(sandbox.settingsFile(), QSettings::IniFormat);
        return file.value(QStringLiteral("Options/") + key, QStringLiteral("<none>")).toString();
    }
    void load()
    {
        LoadSettings(state, &voice, [this](bool time, bool news) {
            boxesShown.push_back({time, news});
            manyTimeWhenBoxesShown = state.ManyTime;
        });
    }

    testing_support::SettingsSandbox sandbox;
    Tolvars state;
    FakeSpeechEngine voice;
    std::vector<std::pair<bool, bool>> boxesShown;
    std::int16_t manyTimeWhenBoxesShown = -1;
};
}  // namespace

TEST_F(SettingsCatalogueTest, InitPointsTheStoreAtTheProgramsOptions)
{
    InitSettings(state);
    ASSERT_TRUE(state.Settings);
    EXPECT_EQ(state.Settings->Company(), QStringLiteral("Quintaviel Software"));
    EXPECT_EQ(state.Settings->AppName(), QStringLiteral("Tolvar MP3 v1.0"));
    EXPECT_EQ(state.SettingsSection, QStringLiteral("Options"));
}

TEST_F(SettingsCatalogueTest, FreshProfileLoadsEveryDefaultAndWritesNothing)
{
    load();
    EXPECT_TRUE(state.NowTime);
    EXPECT_FALSE(state.NowNews);
    EXPECT_EQ(state.ManyTime, 4);
    EXPECT_EQ(state.ManyNews, 15);
    EXPECT_TRUE(state.Loops);
    EXPECT_FALSE(state.Rands);
    EXPECT_FALSE(state.Release);
    EXPECT_FALSE(state.Progressbar);
    EXPECT_FALSE(state.Slow);
    EXPECT_TRUE(state.FlushBack);
    EXPECT_EQ(state.FlushCount, 500);
    EXPECT_EQ(state.EngineNum, 1);
    EXPECT_EQ(state.EngineSpeed, 165);
    EXPECT_FALSE(state.Randoms);
    EXPECT_TRUE(state.MakeItTop);

    ASSERT_EQ(boxesShown.size(), 1u);
    EXPECT_EQ(boxesShown.front(), std::make_pair(true, false));
    EXPECT_EQ(voice.calls,
              QStringList({QStringLiteral("selectEngine 1"), QStringLiteral("setSpeed 165")}));
    EXPECT_FALSE(QFile::exists(sandbox.settingsFile()));
    EXPECT_TRUE(QDir(sandbox.path()).isEmpty());
}

TEST_F(SettingsCatalogueTest, StoredValuesReplaceTheDefaults)
{
    store(QStringLiteral("NowTime"), QStringLiteral("0"));
    store(QStringLiteral("NowNews"), QStringLiteral("1"));
    store(QStringLiteral("ManyTime"), QStringLiteral("2"));
    store(QStringLiteral("ManyNews"), QStringLiteral("999"));
    store(QStringLiteral("Loops"), QStringLiteral("False"));
    store(QStringLiteral("Rands"), QStringLiteral("True"));
    store(QStringLiteral("Release"), QStringLiteral("True"));
    store(QStringLiteral("Progressbar"), QStringLiteral("True"));
    store(QStringLiteral("Slow"), QStringLiteral("-1"));
    store(QStringLiteral("FlushBack"), QStringLiteral("False"));
    store(QStringLiteral("FlushCount"), QStringLiteral("32000"));
    store(QStringLiteral("EngineNum"), QStringLiteral("2"));
    store(QStringLiteral("EngineSpeed"), QStringLiteral("500"));
    store(QStringLiteral("MakeItTop"), QStringLiteral("False"));
    load();

    EXPECT_FALSE(state.NowTime);
    EXPECT_TRUE(state.NowNews);
    EXPECT_EQ(state.ManyTime, 2);
    EXPECT_EQ(state.ManyNews, 999);
    EXPECT_FALSE(state.Loops);
    EXPECT_TRUE(state.Rands);
    EXPECT_TRUE(state.Release);
    EXPECT_TRUE(state.Progressbar);
    EXPECT_TRUE(state.Slow);
    EXPECT_FALSE(state.FlushBack);
    EXPECT_EQ(state.FlushCount, 32000);
    EXPECT_EQ(state.EngineNum, 2);
    EXPECT_EQ(state.EngineSpeed, 500);
    EXPECT_FALSE(state.MakeItTop);
    EXPECT_EQ(boxesShown.front(), std::make_pair(false, true));
    EXPECT_EQ(voice.calls,
              QStringList({QStringLiteral("selectEngine 2"), QStringLiteral("setSpeed 500")}));
}

TEST_F(SettingsCatalogueTest, TextsThatDoNotConvertLeaveTheVariableAlone)
{
    store(QStringLiteral("NowTime"), QStringLiteral("maybe"));
    store(QStringLiteral("ManyTime"), QStringLiteral("lots"));
    store(QStringLiteral("ManyNews"), QStringLiteral("40000"));
    store(QStringLiteral("Loops"), QString());
    store(QStringLiteral("EngineSpeed"), QStringLiteral("9999999999"));
    state.ManyTime = 7;
    state.ManyNews = 8;
    state.Loops = false;
    state.EngineSpeed = 120;
    load();

    // At start every variable is False or 0, not the catalogue's default.
    EXPECT_FALSE(state.NowTime);
    EXPECT_EQ(state.ManyTime, 7);
    EXPECT_EQ(state.ManyNews, 8);
    EXPECT_FALSE(state.Loops);
    EXPECT_EQ(state.EngineSpeed, 120);
    EXPECT_EQ(voice.calls.last(), QStringLiteral("setSpeed 120"));
    // The rest still loads.
    EXPECT_EQ(state.FlushCount, 500);
    EXPECT_TRUE(state.MakeItTop);
}

TEST_F(SettingsCatalogueTest, ADamagedFileGivesDefaultsOnlyForWhatCannotBeRead)
{
    QDir().mkpath(QFileInfo(sandbox.settingsFile()).absolutePath());
    QFile file(sandbox.settingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Options]\nManyTime=9\n\xff\xfe garbage\nNowTime=False\nLoops=@Variant(\\0junk)\n");
    file.close();
    state.Loops = false;
    load();
    EXPECT_EQ(state.ManyTime, 9);
    EXPECT_FALSE(state.NowTime);
    EXPECT_TRUE(state.Loops);
    EXPECT_EQ(state.ManyNews, 15);
}

TEST_F(SettingsCatalogueTest, BoxesAreShownBetweenTheSwitchesAndTheRest)
{
    store(QStringLiteral("ManyTime"), QStringLiteral("3"));
    load();
    EXPECT_EQ(manyTimeWhenBoxesShown, 0);
    EXPECT_EQ(state.ManyTime, 3);
}

TEST_F(SettingsCatalogueTest, BoxesThatChangeStoreBothSwitches)
{
    store(QStringLiteral("NowNews"), QStringLiteral("1"));
    LoadSettings(state, &voice, [this](bool time, bool news) {
        // A window whose News box changes runs its click handler.
        if (time != true || news != false) {
            SaveAnnouncerSwitches(state);
        }
    });
    EXPECT_EQ(stored(QStringLiteral("NowTime")), QStringLiteral("True"));
    EXPECT_EQ(stored(QStringLiteral("NowNews")), QStringLiteral("True"));
}

TEST_F(SettingsCatalogueTest, AFailingVoiceStepIsSkipped)
{
    store(QStringLiteral("EngineNum"), QStringLiteral("9"));
    store(QStringLiteral("EngineSpeed"), QStringLiteral("200"));
    store(QStringLiteral("MakeItTop"), QStringLiteral("False"));
    load();
    EXPECT_EQ(voice.calls, QStringList({QStringLiteral("setSpeed 200")}));
    EXPECT_EQ(state.EngineNum, 9);
    EXPECT_FALSE(state.MakeItTop);
}

TEST_F(SettingsCatalogueTest, LoadsWithoutAVoice)
{
    LoadSettings(state, nullptr, {});
    EXPECT_EQ(state.EngineSpeed, 165);
    EXPECT_TRUE(state.MakeItTop);
}

TEST_F(SettingsCatalogueTest, RandomCountsAreDrawnFromTheGeneratorAsItStands)
{
    store(QStringLiteral("Randoms"), QStringLiteral("True"));
    store(QStringLiteral("ManyTime"), QStringLiteral("4"));
    store(QStringLiteral("ManyNews"), QStringLiteral("15"));
    state.Random.setClock([] { return std::uint64_t{1}; });
    state.Random.seed(1234);
    RandomSource expected;
    expected.seed(1234);
    const int time = randomCount(expected.next());
    const int news = randomCount(expected.next());

    load();
    EXPECT_TRUE(state.Randoms);
    EXPECT_EQ(state.ManyTime, time);
    EXPECT_EQ(state.ManyNews, news);
    // Only the counts in use change; the stored ones stay.
    EXPECT_EQ(stored(QStringLiteral("ManyTime")), QStringLiteral("4"));
    EXPECT_EQ(stored(QStringLiteral("ManyNews")), QStringLiteral("15"));
}

TEST(RandomCount, SpansOneToFiftyOneRoundingHalvesToEven)
{
    EXPECT_EQ(randomCount(0.0), 1);
    EXPECT_EQ(randomCount(0.25), 14);  // 13.5
    EXPECT_EQ(randomCount(0.75), 38);  // 38.5
    EXPECT_EQ(randomCount(0.989), 50);
    EXPECT_EQ(randomCount(std::nextafter(1.0, 0.0)), 51);
}

TEST_F(SettingsCatalogueTest, AnnouncerSwitchesAreStoredAsWords)
{
    InitSettings(state);
    state.NowTime = false;
    state.NowNews = true;
    SaveAnnouncerSwitches(state);
    EXPECT_EQ(stored(QStringLiteral("NowTime")), QStringLiteral("False"));
    EXPECT_EQ(stored(QStringLiteral("NowNews")), QStringLiteral("True"));
}

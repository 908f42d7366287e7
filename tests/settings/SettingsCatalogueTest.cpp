// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingsCatalogue.h"

#include "base/RandomSource.h"
#include "common/StoredSettings.h"
#include "common/TestSupport.h"
#include "settings/CRegSettings.h"
#include "settings/RadioSettings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <cmath>
#include <iterator>
#include <stdexcept>

using stored_settings::store;
using stored_settings::stored;

namespace {
// Every kept setting: its default, a text an earlier run may have stored, and
// the value that text gives, in stored form.
struct CatalogueRow {
    const char* key;
    const char* defaultText;
    const char* storedText;
    const char* loadedText;
};
constexpr CatalogueRow kCatalogue[] = {
    {"NowTime", "True", "0", "False"},
    {"NowNews", "False", "1", "True"},
    {"ManyTime", "4", "2", "2"},
    {"ManyNews", "15", "999", "999"},
    {"Loops", "True", "False", "False"},
    {"Rands", "False", "True", "True"},
    {"Release", "False", "True", "True"},
    {"Progressbar", "False", "True", "True"},
    {"Slow", "False", "-1", "True"},
    {"FlushBack", "True", "False", "False"},
    {"FlushCount", "500", "32000", "32000"},
    {"EngineNum", "1", "2", "2"},
    {"EngineSpeed", "165", "500", "500"},
    {"Randoms", "False", "False", "False"},
    {"MakeItTop", "True", "False", "False"},
};

class SettingsCatalogueTest : public ::testing::Test {
protected:
    void load()
    {
        LoadSettings(settings, random, [this](bool time, bool news) {
            boxesShown.push_back({time, news});
            manyTimeWhenBoxesShown = settings.ManyTime;
        });
    }

    SettingBase& setting(const char* key)
    {
        for (SettingBase* one : settings.all()) {
            if (one->key() == QLatin1String(key)) {
                return *one;
            }
        }
        throw std::out_of_range(key);
    }

    testing_support::SettingsSandbox sandbox;
    RadioSettings settings;
    RandomSource random;
    std::vector<std::pair<bool, bool>> boxesShown;
    std::int16_t manyTimeWhenBoxesShown = -1;
};
}  // namespace

TEST_F(SettingsCatalogueTest, InitPointsTheStoreAtTheProgramsOptions)
{
    InitSettings(settings);
    ASSERT_TRUE(settings.Settings);
    EXPECT_EQ(settings.Settings->Company(), QStringLiteral("Quintaviel Software"));
    EXPECT_EQ(settings.Settings->AppName(), QStringLiteral("Tolvar MP3 v1.0"));
    EXPECT_EQ(settings.SettingsSection, QStringLiteral("Options"));
}

TEST_F(SettingsCatalogueTest, FreshProfileLoadsEveryDefaultAndWritesNothing)
{
    load();
    ASSERT_EQ(std::size(kCatalogue), RadioSettings::kCount);
    for (const CatalogueRow& row : kCatalogue) {
        EXPECT_EQ(setting(row.key).defaultText(), QLatin1String(row.defaultText)) << row.key;
        EXPECT_EQ(setting(row.key).text(), QLatin1String(row.defaultText)) << row.key;
    }

    ASSERT_EQ(boxesShown.size(), 1u);
    EXPECT_EQ(boxesShown.front(), std::make_pair(true, false));
    EXPECT_FALSE(QFile::exists(sandbox.settingsFile()));
    EXPECT_TRUE(QDir(sandbox.path()).isEmpty());
}

TEST_F(SettingsCatalogueTest, StoredValuesReplaceTheDefaults)
{
    for (const CatalogueRow& row : kCatalogue) {
        store(QLatin1String(row.key), QLatin1String(row.storedText));
    }
    load();
    for (const CatalogueRow& row : kCatalogue) {
        EXPECT_EQ(setting(row.key).text(), QLatin1String(row.loadedText)) << row.key;
    }
    EXPECT_EQ(boxesShown.front(), std::make_pair(false, true));
}

TEST_F(SettingsCatalogueTest, TextsThatDoNotConvertLeaveTheVariableAlone)
{
    store(QStringLiteral("NowTime"), QStringLiteral("maybe"));
    store(QStringLiteral("ManyTime"), QStringLiteral("lots"));
    store(QStringLiteral("ManyNews"), QStringLiteral("40000"));
    store(QStringLiteral("Loops"), QString());
    store(QStringLiteral("EngineSpeed"), QStringLiteral("9999999999"));
    settings.ManyTime = 7;
    settings.ManyNews = 8;
    settings.Loops = false;
    settings.EngineSpeed = 120;
    load();

    // At start every variable is False or 0, not the catalogue's default.
    EXPECT_FALSE(settings.NowTime);
    EXPECT_EQ(settings.ManyTime, 7);
    EXPECT_EQ(settings.ManyNews, 8);
    EXPECT_FALSE(settings.Loops);
    EXPECT_EQ(settings.EngineSpeed, 120);
    // The rest still loads.
    EXPECT_EQ(settings.FlushCount, 500);
    EXPECT_TRUE(settings.MakeItTop);
}

TEST_F(SettingsCatalogueTest, ADamagedFileGivesDefaultsOnlyForWhatCannotBeRead)
{
    QDir().mkpath(QFileInfo(sandbox.settingsFile()).absolutePath());
    QFile file(sandbox.settingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Options]\nManyTime=9\n\xff\xfe garbage\nNowTime=False\nLoops=@Variant(\\0junk)\n");
    file.close();
    settings.Loops = false;
    load();
    EXPECT_EQ(settings.ManyTime, 9);
    EXPECT_FALSE(settings.NowTime);
    EXPECT_TRUE(settings.Loops);
    EXPECT_EQ(settings.ManyNews, 15);
}

TEST_F(SettingsCatalogueTest, BoxesAreShownBetweenTheSwitchesAndTheRest)
{
    store(QStringLiteral("ManyTime"), QStringLiteral("3"));
    load();
    EXPECT_EQ(manyTimeWhenBoxesShown, 0);
    EXPECT_EQ(settings.ManyTime, 3);
}

TEST_F(SettingsCatalogueTest, BoxesThatChangeStoreBothSwitches)
{
    store(QStringLiteral("NowNews"), QStringLiteral("1"));
    LoadSettings(settings, random, [this](bool time, bool news) {
        // A window whose News box changes runs its click handler.
        if (time != true || news != false) {
            SaveAnnouncerSwitches(settings);
        }
    });
    EXPECT_EQ(stored(QStringLiteral("NowTime")), QStringLiteral("True"));
    EXPECT_EQ(stored(QStringLiteral("NowNews")), QStringLiteral("True"));
}

TEST_F(SettingsCatalogueTest, LoadsWithoutTheBoxes)
{
    LoadSettings(settings, random, {});
    EXPECT_EQ(settings.EngineSpeed, 165);
    EXPECT_TRUE(settings.MakeItTop);
}

TEST_F(SettingsCatalogueTest, RandomCountsAreDrawnFromTheGeneratorAsItStands)
{
    store(QStringLiteral("Randoms"), QStringLiteral("True"));
    store(QStringLiteral("ManyTime"), QStringLiteral("4"));
    store(QStringLiteral("ManyNews"), QStringLiteral("15"));
    random.setClock([] { return std::uint64_t{1}; });
    random.seed(1234);
    RandomSource expected;
    expected.seed(1234);
    const int time = randomCount(expected.next());
    const int news = randomCount(expected.next());

    load();
    EXPECT_TRUE(settings.Randoms);
    EXPECT_EQ(settings.ManyTime, time);
    EXPECT_EQ(settings.ManyNews, news);
    // Only the counts in use change; the stored ones stay.
    EXPECT_EQ(stored(QStringLiteral("ManyTime")), QStringLiteral("4"));
    EXPECT_EQ(stored(QStringLiteral("ManyNews")), QStringLiteral("15"));
}

TEST(RandomCount, SpansOneToFiftyOneRoundingHalvesToEven)
{
    EXPECT_EQ(randomCount(0.0), 1);
    EXPECT_EQ(randomCount(0.25), 14);  // 13.5
    EXPECT_EQ(randomCount(0.75), 38);  // 38.5
    EXPECT_EQ(randomCount(0.03), 2);   // 2.5
    EXPECT_EQ(randomCount(0.989), 50);
    EXPECT_EQ(randomCount(std::nextafter(1.0, 0.0)), 51);
}

TEST_F(SettingsCatalogueTest, AnnouncerSwitchesAreStoredAsWords)
{
    InitSettings(settings);
    settings.NowTime = false;
    settings.NowNews = true;
    SaveAnnouncerSwitches(settings);
    EXPECT_EQ(stored(QStringLiteral("NowTime")), QStringLiteral("False"));
    EXPECT_EQ(stored(QStringLiteral("NowNews")), QStringLiteral("True"));
}

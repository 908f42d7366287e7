// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/OpsActions.h"

#include "base/RandomSource.h"
#include "common/FakeSpeechEngine.h"
#include "common/StoredSettings.h"
#include "common/TestSupport.h"
#include "playback/AcceptedPlaylist.h"
#include "settings/RadioSettings.h"

#include <gtest/gtest.h>

#include <cmath>

using stored_settings::openStore;
using stored_settings::saveOrder;
using stored_settings::stored;
using stored_settings::storedKeys;

namespace {

// An engine whose speed cannot be set, to fail a button half way.
class NoSpeedEngine : public FakeSpeechEngine {
public:
    void setSpeed(int) override { throw SpeechError("speed not supported"); }
};

OpsChoices someChoices()
{
    OpsChoices c;
    c.engineNumber = 2;
    c.speed = 240;
    c.progressbar = true;
    c.release = false;
    c.slow = true;
    c.rands = true;
    c.loops = false;
    c.makeItTop = false;
    c.flushBack = true;
    c.flushCountText = QStringLiteral("750");
    c.manyTime = 7;
    c.manyNews = 21;
    return c;
}

class OpsActionsTest : public ::testing::Test {
protected:
    void SetUp() override { openStore(settings); }

    testing_support::SettingsSandbox sandbox;
    RadioSettings settings;
    RandomSource random;
    FakeSpeechEngine talk;
};

}  // namespace

TEST_F(OpsActionsTest, SaveWritesEveryKeyInOrderAfterSettingItsVariable)
{
    OpsActions actions(settings, random, talk);
    QStringList order;
    actions.setAfterWrite([&](const QString& key) {
        order << key;
        // Every key reaches the store at once, and none ahead of its turn.
        const QStringList present = storedKeys();
        EXPECT_EQ(present.size(), order.size()) << key.toStdString();
        EXPECT_TRUE(present.contains(key));
        // The engine was switched before anything was written.
        EXPECT_EQ(talk.calls.mid(0, 2), (QStringList{"selectEngine 2", "setSpeed 240"}));
        if (key == QLatin1String("FlushBack")) {
            EXPECT_EQ(settings.FlushCount, 0) << "FlushCount changed before its turn";
        }
    });

    actions.save(someChoices());

    EXPECT_EQ(order, saveOrder());
    EXPECT_EQ(stored("EngineNum"), "2");
    EXPECT_EQ(stored("EngineSpeed"), "240");
    EXPECT_EQ(stored("Progressbar"), "True");
    EXPECT_EQ(stored("Release"), "False");
    EXPECT_EQ(stored("Slow"), "True");
    EXPECT_EQ(stored("Rands"), "True");
    EXPECT_EQ(stored("Loops"), "False");
    EXPECT_EQ(stored("MakeItTop"), "False");
    EXPECT_EQ(stored("FlushBack"), "True");
    EXPECT_EQ(stored("FlushCount"), "750");
    EXPECT_EQ(stored("ManyTime"), "7");
    EXPECT_EQ(stored("ManyNews"), "21");
    EXPECT_EQ(stored("Randoms"), "False");

    EXPECT_EQ(settings.EngineNum, 2);
    EXPECT_EQ(settings.EngineSpeed, 240);
    EXPECT_TRUE(settings.Progressbar);
    EXPECT_FALSE(settings.Release);
    EXPECT_TRUE(settings.Slow);
    EXPECT_TRUE(settings.Rands);
    EXPECT_FALSE(settings.Loops);
    EXPECT_FALSE(settings.MakeItTop);
    EXPECT_TRUE(settings.FlushBack);
    EXPECT_EQ(settings.FlushCount, 750);
    EXPECT_EQ(settings.ManyTime, 7);
    EXPECT_EQ(settings.ManyNews, 21);
    EXPECT_FALSE(settings.Randoms);
    EXPECT_EQ(talk.selected, 2);
    EXPECT_EQ(talk.speed(), 240);
    EXPECT_TRUE(talk.spoken.isEmpty());
}

TEST_F(OpsActionsTest, SaveKeepsTheVoicesIdentityBesideItsNumber)
{
    talk.identities = {"flite:cmu_us_slt", "espeak-ng:de"};
    OpsActions actions(settings, random, talk);
    QStringList order;
    actions.setAfterWrite([&](const QString& key) { order << key; });
    actions.save(someChoices());
    EXPECT_EQ(stored("EngineNum"), "2");
    EXPECT_EQ(stored("EngineVoice"), "espeak-ng:de");
    EXPECT_EQ(order.mid(0, 3), QStringList({"EngineNum", "EngineVoice", "EngineSpeed"}));
}

TEST_F(OpsActionsTest, ZeroCountsAreStoredAsZero)
{
    settings.ManyTime = 4;
    OpsChoices c = someChoices();
    c.manyTime = 0;
    c.manyNews = 0;
    OpsActions(settings, random, talk).save(c);
    EXPECT_EQ(stored("ManyTime"), "0");
    EXPECT_EQ(stored("ManyNews"), "0");
    EXPECT_EQ(settings.ManyTime, 0);
}

TEST_F(OpsActionsTest, FlushCountIsReadFromTheLabelText)
{
    OpsChoices c = someChoices();
    c.flushCountText = QStringLiteral("  32000 ");
    OpsActions(settings, random, talk).save(c);
    EXPECT_EQ(stored("FlushCount"), "32000");
    EXPECT_EQ(settings.FlushCount, 32000);
}

TEST_F(OpsActionsTest, RandomCountsAreInUseButTheBarValuesAreStored)
{
    std::uint64_t clock = 1000;
    random.setClock([&] { return clock; });
    OpsChoices c = someChoices();
    c.randoms = true;
    OpsActions actions(settings, random, talk);

    for (int save = 0; save < 40; ++save) {
        clock += 7919;
        // Draws made since the last save must not matter: the clock reseeds.
        random.next();
        RandomSource expected;
        expected.seed(clock);
        const auto wantTime = static_cast<int>(std::nearbyint(expected.next() * 50.0 + 1.0));
        const auto wantNews = static_cast<int>(std::nearbyint(expected.next() * 50.0 + 1.0));

        actions.save(c);

        EXPECT_EQ(settings.ManyTime, wantTime);
        EXPECT_EQ(settings.ManyNews, wantNews);
        EXPECT_GE(settings.ManyTime, 1);
        EXPECT_LE(settings.ManyTime, 51);
        EXPECT_GE(settings.ManyNews, 1);
        EXPECT_LE(settings.ManyNews, 51);
        EXPECT_TRUE(settings.Randoms);
        EXPECT_EQ(stored("ManyTime"), "7");
        EXPECT_EQ(stored("ManyNews"), "21");
        EXPECT_EQ(stored("Randoms"), "True");
    }
}

TEST_F(OpsActionsTest, UncheckingRandomPutsTheBarValuesBackInUse)
{
    OpsChoices c = someChoices();
    c.randoms = true;
    OpsActions actions(settings, random, talk);
    actions.save(c);
    c.randoms = false;
    actions.save(c);
    EXPECT_FALSE(settings.Randoms);
    EXPECT_EQ(settings.ManyTime, 7);
    EXPECT_EQ(settings.ManyNews, 21);
    EXPECT_EQ(stored("Randoms"), "False");
}

TEST_F(OpsActionsTest, RefusedEngineStopsSaveBeforeAnyWrite)
{
    talk.engines.clear();
    settings.EngineNum = 1;
    settings.Loops = true;
    OpsChoices c = someChoices();
    c.engineNumber = 0;

    EXPECT_THROW(OpsActions(settings, random, talk).save(c), SpeechError);

    EXPECT_TRUE(storedKeys().isEmpty());
    EXPECT_EQ(settings.EngineNum, 1);
    EXPECT_TRUE(settings.Loops);
}

TEST_F(OpsActionsTest, FailureHalfWayKeepsWhatWasDone)
{
    NoSpeedEngine noSpeed;
    EXPECT_THROW(OpsActions(settings, random, noSpeed).save(someChoices()), SpeechError);
    EXPECT_EQ(noSpeed.selected, 2) << "the engine chosen before the failure stays chosen";
    EXPECT_TRUE(storedKeys().isEmpty());

    // A label text that is no number stops the save after FlushBack.
    OpsChoices c = someChoices();
    c.flushCountText = QStringLiteral("lots");
    EXPECT_ANY_THROW(OpsActions(settings, random, talk).save(c));
    EXPECT_EQ(storedKeys().size(), saveOrder().indexOf("FlushCount"));
    EXPECT_EQ(stored("FlushBack"), "True");
    EXPECT_EQ(stored("ManyTime"), "<missing>");
    EXPECT_EQ(settings.ManyTime, 0);
}

TEST_F(OpsActionsTest, SaveWithoutAStoreFailsInsteadOfCrashing)
{
    settings.Settings.reset();
    EXPECT_ANY_THROW(OpsActions(settings, random, talk).save(someChoices()));
    EXPECT_EQ(talk.selected, 2);
}

TEST_F(OpsActionsTest, TryVoiceSwitchesEngineAndSpeedAndSpeaksButStoresNothing)
{
    OpsActions actions(settings, random, talk);
    actions.tryVoice(2, 300);
    EXPECT_EQ(talk.calls, (QStringList{"selectEngine 2", "setSpeed 300",
                                       "speak This is a test ... testing, testing, ... how do "
                                       "I sound now?"}));
    EXPECT_TRUE(storedKeys().isEmpty());
    EXPECT_EQ(settings.EngineSpeed, 0);

    talk.calls.clear();
    EXPECT_THROW(actions.tryVoice(0, 300), SpeechError);
    EXPECT_TRUE(talk.calls.isEmpty());
}

TEST_F(OpsActionsTest, DialogsReachTheEngineAndTheirFailureIsReported)
{
    OpsActions actions(settings, random, talk);
    actions.showDialog(EngineDialog::General, nullptr);
    actions.showDialog(EngineDialog::Lexicon, nullptr);
    actions.showDialog(EngineDialog::Translation, nullptr);
    EXPECT_EQ(talk.calls, (QStringList{"dialog general", "dialog lexicon", "dialog translation"}));
    talk.dialogsFail = true;
    EXPECT_THROW(actions.showDialog(EngineDialog::Lexicon, nullptr), SpeechError);
}

TEST_F(OpsActionsTest, EngineReadsSkipWhatFails)
{
    talk.engines = {"English", "German", "French"};
    OpsActions actions(settings, random, talk);
    EXPECT_EQ(actions.engineCount(), 3);
    // Asking past the end leaves empty entries, keeping positions aligned.
    EXPECT_EQ(actions.engineEntries(4), (QStringList{"English", "German", "French", ""}));

    const VoiceEngineDetails german = actions.details(2);
    EXPECT_EQ(german.name, "German name");
    EXPECT_EQ(german.manufacturer, "Fake Voices");
    EXPECT_EQ(german.style, "German style");
    EXPECT_EQ(german.dialect, "German dialect");
    EXPECT_EQ(german.speaker, "German speaker");
    EXPECT_EQ(german.age, 22);
    EXPECT_EQ(german.gender, 2);

    const VoiceEngineDetails none = actions.details(0);
    EXPECT_FALSE(none.name || none.manufacturer || none.style || none.dialect || none.speaker ||
                 none.age || none.gender);
}

TEST_F(OpsActionsTest, ChoosingAnEngineOnlyMovesTheSharedNumber)
{
    settings.EngineNum = 1;
    OpsActions(settings, random, talk).chooseEngine(2);
    EXPECT_EQ(settings.EngineNum, 2);
    EXPECT_EQ(talk.selected, 0);
    EXPECT_TRUE(storedKeys().isEmpty());
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/Ops.h"
#include "options/StoredVoice.h"

#include "RecordingVoiceOutput.h"
#include "SpeechTestSupport.h"
#include "base/RandomSource.h"
#include "common/StoredSettings.h"
#include "common/TestSupport.h"
#include "playback/AcceptedPlaylist.h"
#include "settings/RadioSettings.h"
#include "speech/SpeechDialogProvider.h"
#include "speech/TextToSpeech.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

using speech_test::rms;
using speech_test::waitSilent;
using stored_settings::stored;
using stored_settings::storedKeys;

namespace {

class RecordingDialogs : public SpeechDialogProvider {
public:
    struct Shown {
        Dialog dialog;
        QWidget* owner;
        QString title;
    };
    void showDialog(Dialog dialog, QWidget* owner, const QString& title, VoiceTuning&) override
    {
        shown.push_back({dialog, owner, title});
    }
    std::vector<Shown> shown;
};

// The options window over the espeak-ng voice, with the shared variables and
// engine set up as a fresh start leaves them.
class OpsRealVoiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadSettings(settings, random, {});
        UseStoredVoice(settings, talk);
        ASSERT_TRUE(storedKeys().isEmpty());
        ASSERT_GE(talk.engineCount(), 2) << "espeak-ng voices are missing";
        ops = std::make_unique<Ops>(settings, random, talk);
        ops->setMessageHandler(
            [this](QMessageBox::Icon, const QString& title, const QString&) { titles << title; });
    }

    QString text(const char* name) const
    {
        return ops->findChild<QLabel*>(QLatin1String(name))->text();
    }
    QComboBox* engines() const { return ops->findChild<QComboBox*>("ComboEngines"); }
    QScrollBar* speedBar() const { return ops->findChild<QScrollBar*>("HScroll1"); }
    void press(int item)
    {
        ops->findChild<QPushButton*>(QStringLiteral("CmdOps_%1").arg(item))->click();
    }

    testing_support::SettingsSandbox sandbox;
    RecordingVoiceOutput output;
    TextToSpeech talk{output};
    RadioSettings settings;
    RandomSource random;
    std::unique_ptr<Ops> ops;
    QStringList titles;
};

}  // namespace

TEST_F(OpsRealVoiceTest, ListsEveryInstalledVoiceAndShowsTheChosenOnesAttributes)
{
    ops->Form_Load();
    const int count = talk.engineCount();
    EXPECT_EQ(text("LblCount"), QString::number(count));
    ASSERT_EQ(engines()->count(), count);
    for (int n = 1; n <= count; ++n) {
        EXPECT_EQ(engines()->itemText(n - 1), talk.engineListEntry(n)) << n;
    }
    EXPECT_EQ(engines()->currentIndex(), 0);
    EXPECT_EQ(speedBar()->value(), 165);

    for (int n : {2, count / 2 + 1, count}) {
        engines()->setCurrentIndex(n - 1);
        EXPECT_EQ(text("LblName"), talk.engineName(n)) << n;
        EXPECT_EQ(text("LblMfg"), talk.engineManufacturer(n)) << n;
        EXPECT_EQ(text("LblStyle"), talk.engineStyle(n)) << n;
        EXPECT_EQ(text("LblDialect"), talk.engineDialect(n)) << n;
        EXPECT_EQ(text("LblSpeaker"), talk.engineSpeaker(n)) << n;
        EXPECT_EQ(text("LblAge"), QString::number(talk.engineAge(n))) << n;
        EXPECT_EQ(text("LblWhich"), QString::number(n));
        const int gender = talk.engineGender(n);
        const char* option = gender == 2 ? "Option1" : gender == 1 ? "Option2" : "Option3";
        EXPECT_TRUE(ops->findChild<QRadioButton*>(option)->isChecked()) << n;
        EXPECT_EQ(settings.EngineNum, n);
    }
    EXPECT_EQ(talk.selectedEngine(), 1) << "choosing an entry does not change the voice";
}

TEST_F(OpsRealVoiceTest, TestSpeaksWithTheChosenVoiceAndCancelKeepsItButStoresNothing)
{
    // Played at real pace, the voice is still speaking when the test looks,
    // however late a loaded machine lets it look.
    output.setPace(RecordingVoiceOutput::Pace::RealTime);
    ops->Form_Load();
    engines()->setCurrentIndex(1);
    speedBar()->setValue(250);

    press(5);
    EXPECT_NE(talk.speakingState(), 0);
    EXPECT_EQ(talk.selectedEngine(), 2);
    EXPECT_EQ(talk.speed(), 250);
    ASSERT_TRUE(waitSilent(talk));
    const std::vector<std::int16_t> pcm = output.samples();
    const double seconds = double(pcm.size()) / output.sampleRate() / output.channels();
    EXPECT_GT(seconds, 1.0);
    EXPECT_LT(seconds, 15.0);
    EXPECT_GT(rms(pcm), 500.0);

    press(0);
    EXPECT_TRUE(titles.isEmpty());
    EXPECT_EQ(talk.selectedEngine(), 2);
    EXPECT_EQ(talk.speed(), 250);
    EXPECT_TRUE(storedKeys().isEmpty());
    EXPECT_EQ(settings.EngineSpeed, 165);
}

TEST_F(OpsRealVoiceTest, SaveSwitchesTheVoiceAndStoresIt)
{
    ops->Form_Load();
    const int last = talk.engineCount();
    engines()->setCurrentIndex(last - 1);
    speedBar()->setValue(90);
    press(2);

    EXPECT_TRUE(titles.isEmpty());
    EXPECT_EQ(talk.selectedEngine(), last);
    EXPECT_EQ(talk.speed(), 90);
    EXPECT_EQ(stored("EngineNum"), QString::number(last));
    EXPECT_EQ(stored("EngineSpeed"), "90");
    // The voice's identity is kept beside its number.
    EXPECT_EQ(stored("EngineVoice"), talk.engineIdentity(last));
    EXPECT_EQ(storedKeys().size(), stored_settings::saveOrder().size() + 1);
    EXPECT_EQ(output.framesPushed(), 0u) << "saving says nothing";
}

TEST_F(OpsRealVoiceTest, WithNoEngineChosenTheVoiceRefusesAndNothingHappens)
{
    settings.EngineNum = talk.engineCount() + 5;
    ops->Form_Load();
    EXPECT_EQ(engines()->currentIndex(), -1);

    press(5);
    press(2);
    EXPECT_EQ(titles, (QStringList{"Not Supported!", "Not Supported!"}));
    EXPECT_TRUE(storedKeys().isEmpty());
    EXPECT_EQ(talk.selectedEngine(), 1);
    EXPECT_EQ(talk.speakingState(), 0);
    EXPECT_EQ(output.framesPushed(), 0u);
}

TEST_F(OpsRealVoiceTest, EngineDialogsReportWhenMissingAndOpenOverTheirOwner)
{
    ops->Form_Load();
    for (int item : {1, 3, 4}) {
        press(item);
    }
    EXPECT_EQ(titles, (QStringList{"Not Supported!", "Not Supported!", "Not Supported!"}));

    RecordingDialogs dialogs;
    talk.setDialogProvider(&dialogs);
    QWidget mainWindow;
    ops->setDialogOwner(&mainWindow);
    titles.clear();
    for (int item : {1, 3, 4}) {
        press(item);
    }
    EXPECT_TRUE(titles.isEmpty());
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[0].dialog, SpeechDialogProvider::Dialog::General);
    EXPECT_EQ(dialogs.shown[1].dialog, SpeechDialogProvider::Dialog::Lexicon);
    EXPECT_EQ(dialogs.shown[2].dialog, SpeechDialogProvider::Dialog::Translation);
    for (const auto& shown : dialogs.shown) {
        EXPECT_EQ(shown.owner, &mainWindow);
        EXPECT_TRUE(shown.title.isEmpty());
    }
    talk.setDialogProvider(nullptr);
}

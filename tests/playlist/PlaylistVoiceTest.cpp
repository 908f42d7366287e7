// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedPrompter.h"
#include "base/RandomSource.h"
#include "common/FakeSpeechEngine.h"
#include "playback/AcceptedPlaylist.h"
#include "playlist/AdCycle.h"
#include "playlist/PlaylistVoice.h"
#include "settings/RadioSettings.h"

#include <gtest/gtest.h>

namespace {

class PlaylistVoiceTest : public ::testing::Test {
protected:
    FakeSpeechEngine speech;
    ScriptedPrompter prompter;
    QList<QUrl> opened;
    PlaylistVoice voice{speech, prompter, [this](const QUrl& url) { opened << url; }};
};

}  // namespace

TEST_F(PlaylistVoiceTest, HelpCutsOffSpeechAndSpeaksTheHelpText)
{
    speech.speak(QStringLiteral("an intro"));
    voice.help();
    EXPECT_EQ(speech.calls, (QStringList{QStringLiteral("speak an intro"), QStringLiteral("stop"),
                                         QStringLiteral("speak ") + PlaylistVoice::helpText()}));
    EXPECT_EQ(voice.SpeechText(), PlaylistVoice::helpText());
    EXPECT_TRUE(PlaylistVoice::helpText().startsWith(
        QStringLiteral("Hello, I'm Flurbo Wobbleshanktorz, To get started,")));
    EXPECT_TRUE(PlaylistVoice::helpText().contains(
        QStringLiteral("go! ..............  to hear the News, you must be connected to the "
                       "Internet,        Now click")));
    EXPECT_TRUE(
        PlaylistVoice::helpText().endsWith(QStringLiteral("So simple ............ right?")));
}

TEST_F(PlaylistVoiceTest, AboutShowsItsBoxBeforeAdvertisingWithoutStoppingSpeech)
{
    speech.speak(QStringLiteral("a comment"));
    QStringList spokenWhenAsked;
    prompter.onAsk = [&](const Prompt&) { spokenWhenAsked = speech.calls; };
    voice.about();

    ASSERT_EQ(prompter.asked.size(), 1);
    const Prompt& box = prompter.asked.first();
    EXPECT_EQ(box.title, QStringLiteral("Tolvar MP3 v1.0 Quintaviel Software"));
    EXPECT_EQ(box.buttons, PromptButtons::Ok);
    EXPECT_EQ(box.icon, PromptIcon::Information);
    EXPECT_EQ(box.text, PlaylistVoice::aboutText(QStringLiteral("\r\n")));
    EXPECT_TRUE(box.text.contains(QStringLiteral("\r\n")));
    EXPECT_EQ(spokenWhenAsked, QStringList{QStringLiteral("speak a comment")});
    EXPECT_EQ(speech.calls, (QStringList{QStringLiteral("speak a comment"),
                                         QStringLiteral("speak ") + PlaylistVoice::adText()}));
    EXPECT_EQ(voice.SpeechText(), PlaylistVoice::adText());
}

TEST_F(PlaylistVoiceTest, AboutNamesTheVersionAndTheLicenceAndNoAddress)
{
    const QString text = PlaylistVoice::aboutText(QStringLiteral("\n"));
    EXPECT_TRUE(text.startsWith(QStringLiteral("Tolvar MP3 Radio " TOLVAR_VERSION ", ")));
    EXPECT_TRUE(text.contains(QStringLiteral("GPL-3.0-or-later")));
    EXPECT_FALSE(text.contains(QStringLiteral("://")));
    EXPECT_FALSE(text.contains(QStringLiteral("example")));
}

TEST_F(PlaylistVoiceTest, AdvertisementSpellsTheNameForTheVoice)
{
    const QString& ad = PlaylistVoice::adText();
    EXPECT_GE(ad.size(), 350);
    EXPECT_LE(ad.size(), 450);
    EXPECT_TRUE(ad.contains(QStringLiteral("Siv'rel")));
    EXPECT_FALSE(ad.contains(QStringLiteral("Sivrel")));
}

TEST_F(PlaylistVoiceTest, ImageClickAsksThenAdvertisesWhateverTheAnswer)
{
    prompter.answers = {PromptAnswer::No};
    speech.speak(QStringLiteral("news"));
    voice.adClicked();
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked.first(),
              (Prompt{QStringLiteral("Download Sivrel Now?  Do you wish to continue?"),
                      QStringLiteral("Download Sivrel?"), PromptButtons::YesNo, PromptIcon::None,
                      false}));
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(speech.calls, (QStringList{QStringLiteral("speak news"), QStringLiteral("stop"),
                                         QStringLiteral("speak ") + PlaylistVoice::adText()}));

    prompter.answers = {PromptAnswer::Yes};
    voice.adClicked();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first(), PlaylistVoice::downloadUrl());
    EXPECT_EQ(opened.first().scheme(), QStringLiteral("https"));
    EXPECT_EQ(opened.first().host(), QStringLiteral("example.com"));
    EXPECT_EQ(speech.spoken.last(), PlaylistVoice::adText());
}

TEST(AdCycle, AlternatesFromImageZero)
{
    AdCycle cycle;
    QList<int> shown;
    for (int i = 0; i < 6; ++i) {
        shown << cycle.tick();
    }
    EXPECT_EQ(shown, (QList<int>{0, 1, 0, 1, 0, 1}));
}

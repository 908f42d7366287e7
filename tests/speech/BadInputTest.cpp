// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingVoiceOutput.h"
#include "SpeechTestSupport.h"
#include "WordLog.h"
#include "common/TestSupport.h"
#include "speech/TextToSpeech.h"

#include <gtest/gtest.h>

using speech_test::rms;
using speech_test::waitSilent;

namespace {

// Every bad text must leave the engine as it was: silent again afterwards,
// able to speak, and able to stop. Bad texts play out instantly unless the
// test needs them in real time; the check afterwards is in real time. On the
// main voice of each family.
class BadInputTest : public ::testing::TestWithParam<QString> {
protected:
    void SetUp() override
    {
        talk.setWordListener(log.listener());
        talk.selectEngine(talk.engineForIdentity(GetParam()));
    }
    bool flite() const { return GetParam() == speech_test::kFliteSlt; }

    void expectStillWorks()
    {
        ASSERT_TRUE(waitSilent(talk));
        output.setPace(RecordingVoiceOutput::Pace::RealTime);
        log.clear();
        talk.speak(QStringLiteral("Still here, and still talking for a good while longer."));
        ASSERT_TRUE(testing_support::waitUntil([&] { return !log.words().empty(); }));
        talk.stop();
        EXPECT_TRUE(testing_support::waitUntil([&] { return talk.speakingState() == 0; },
                                               std::chrono::milliseconds(100)));
        talk.speak(QStringLiteral("Done."));
        ASSERT_TRUE(waitSilent(talk));
        EXPECT_TRUE(log.text().endsWith("done"));
    }

    testing_support::SettingsSandbox sandbox;
    RecordingVoiceOutput output;
    TextToSpeech talk{output};
    WordLog log;
};

TEST_P(BadInputTest, EmptyAndBlankTextsSayNothing)
{
    talk.speak(QString());
    talk.speak(QStringLiteral("   \t\r\n   "));
    ASSERT_TRUE(waitSilent(talk, 3000));
    EXPECT_TRUE(log.words().empty());
    EXPECT_LT(rms(output.samples()), 50.0);
    expectStillWorks();
}

TEST_P(BadInputTest, AHundredKilobytesStartAtOnceAndStop)
{
    QString prose;
    while (prose.size() < 100 * 1024) {
        prose += QStringLiteral("This is a very long news item that goes on and on. ");
    }
    // One endless word, and one endless number.
    for (const QString& text :
         {prose, QString(100 * 1024, QLatin1Char('a')), QString(100 * 1024, QLatin1Char('7'))}) {
        output.setPace(RecordingVoiceOutput::Pace::RealTime);
        const std::uint64_t before = output.framesPushed();
        talk.speak(text);
        EXPECT_EQ(talk.speakingState(), 1);
        ASSERT_TRUE(testing_support::waitUntil([&] { return output.framesPushed() > before; }));
        testing_support::pumpFor(std::chrono::milliseconds(100));
        talk.stop();
        EXPECT_TRUE(testing_support::waitUntil([&] { return talk.speakingState() == 0; },
                                               std::chrono::milliseconds(100)));
    }
    expectStillWorks();
}

TEST_P(BadInputTest, ControlCharactersAndNulDoNotCutTheText)
{
    const QString text = QStringLiteral("Before") + QChar(0) + QStringLiteral("middle") +
                         QChar(0x01) + QChar(0x1b) + QStringLiteral("[31m after") + QChar(0x7f) +
                         QChar(0x9b) + QStringLiteral(" end");
    talk.speak(text);
    ASSERT_TRUE(waitSilent(talk));
    const QStringList words = log.text();
    EXPECT_TRUE(words.contains("before")) << words.join(' ').toStdString();
    EXPECT_TRUE(words.contains("middle"));
    EXPECT_TRUE(words.contains("end"));
    expectStillWorks();
}

TEST_P(BadInputTest, BrokenEncodingInATagTitleIsSkipped)
{
    const QString title = QString::fromUtf8("Great \xff\xfe Song \xc3\x28 \xed\xa0\x80 Title \xc3");
    talk.speak(QStringLiteral("That was ") + title + QStringLiteral(", what a tune."));
    ASSERT_TRUE(waitSilent(talk));
    const QStringList words = log.text();
    EXPECT_TRUE(words.contains("great")) << words.join(' ').toStdString();
    EXPECT_TRUE(words.contains("title"));
    EXPECT_TRUE(words.contains("tune"));
    expectStillWorks();
}

TEST_P(BadInputTest, OtherScriptsAreSpokenOrSkippedWithoutHarm)
{
    talk.speak(
        QString::fromUtf8("\xe4\xbd\xa0\xe5\xa5\xbd\xe4\xb8\x96\xe7\x95\x8c "
                          "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 "
                          "\xd9\x85\xd8\xb1\xd8\xad\xd8\xa8\xd8\xa7 "
                          "\xf0\x9f\x8e\xb5 \xe0\xa4\xa8\xe0\xa4\xae\xe0\xa4\xb8\xe0\xa5\x8d"));
    ASSERT_TRUE(waitSilent(talk));
    // flite's voices know English only and may say nothing of it.
    if (!flite()) {
        EXPECT_GT(rms(output.samples()), 100.0);
    }
    expectStillWorks();
}

TEST_P(BadInputTest, MarkupThatLooksLikeSsmlIsHarmless)
{
    talk.speak(
        QStringLiteral("<?xml version=\"1.0\"?><speak><audio src=\"/dev/zero\"/>"
                       "<voice name=\"nonexistent\"><<<>>> &amp; &#0; &#x1F600; "
                       "<mark name=\"x\"/> <break time=\"100000s\"/></voice>"));
    ASSERT_TRUE(waitSilent(talk, 30000));
    EXPECT_TRUE(log.text().contains("speak"));
    expectStillWorks();
}

INSTANTIATE_TEST_SUITE_P(EachFamily, BadInputTest,
                         ::testing::Values(speech_test::kEspeakEnglish, speech_test::kFliteSlt),
                         speech_test::familyName);

}  // namespace

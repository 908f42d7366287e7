#include "audio/AudioEngine.h"
#include "audio/AudioTestSupport.h"
#include "common/ForwardingMpegPlayer.h"
#include "common/LocalHttpServer.h"
#include "common/TestSupport.h"
#include "core/RadioAnnouncer.h"
#include "core/Sequencer.h"
#include "core/Tolvars.h"
#include "speech/TextToSpeech.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <mutex>

using namespace std::chrono_literals;

namespace {

// The real player, logging each opened song with the voice frames played so far.
class LoggingPlayer : public ForwardingMpegPlayer {
public:
    LoggingPlayer(AudioEngine& engine, QStringList& log)
        : ForwardingMpegPlayer(engine), engine_(engine), log_(log)
    {
    }

    QString OpenMPEG(quintptr handle, const QString& path, const QString& type) override
    {
        log_ << QStringLiteral("open ") + path;
        voiceFramesAtOpen.append(engine_.voiceFramesPlayed());
        return ForwardingMpegPlayer::OpenMPEG(handle, path, type);
    }

    QList<std::uint64_t> voiceFramesAtOpen;

private:
    AudioEngine& engine_;
    QStringList& log_;
};

// The real voice, logging what it is handed.
class LoggingVoice : public SpeechEngine {
public:
    LoggingVoice(TextToSpeech& talk, QStringList& log) : talk_(talk), log_(log) {}

    void speak(const QString& text) override
    {
        log_ << QStringLiteral("say ") + text;
        talk_.speak(text);
    }
    void stop() override { talk_.stop(); }
    int speakingState() const override { return talk_.speakingState(); }
    int speed() const override { return talk_.speed(); }
    void setSpeed(int wordsPerMinute) override { talk_.setSpeed(wordsPerMinute); }
    void generalDialog(QWidget* owner, const QString& title) override
    {
        talk_.generalDialog(owner, title);
    }
    void lexiconDialog(QWidget* owner, const QString& title) override
    {
        talk_.lexiconDialog(owner, title);
    }
    void translationDialog(QWidget* owner, const QString& title) override
    {
        talk_.translationDialog(owner, title);
    }
    int engineCount() const override { return talk_.engineCount(); }
    QString engineName(int n) const override { return talk_.engineName(n); }
    QString engineManufacturer(int n) const override { return talk_.engineManufacturer(n); }
    QString engineListEntry(int n) const override { return talk_.engineListEntry(n); }
    QString engineSpeaker(int n) const override { return talk_.engineSpeaker(n); }
    QString engineStyle(int n) const override { return talk_.engineStyle(n); }
    QString engineDialect(int n) const override { return talk_.engineDialect(n); }
    int engineGender(int n) const override { return talk_.engineGender(n); }
    int engineAge(int n) const override { return talk_.engineAge(n); }
    void selectEngine(int n) override { talk_.selectEngine(n); }

private:
    TextToSpeech& talk_;
    QStringList& log_;
};

class WordRecorder {
public:
    WordListener listener()
    {
        return [this](const SpokenWord& w) {
            const std::lock_guard<std::mutex> guard(mutex_);
            words_ << w.word.toLower();
        };
    }
    QStringList words() const
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        return words_;
    }

private:
    mutable std::mutex mutex_;
    QStringList words_;
};

}  // namespace

// Two songs, the time and the headlines due after each: the real player, the
// real voice and a feed on this machine that takes a moment to answer.
TEST(HeadlineEndToEnd, HeadlinesAreReadBetweenTheSongs)
{
    testing_support::SettingsSandbox sandbox;
    LocalHttpServer server([](const LocalHttpServer::Request&) {
        LocalHttpServer::Answer answer = LocalHttpServer::ok(
            "<backslash>"
            "<story><title>Penguins learn to fly</title><url>u</url><time>t</time>"
            "<author>a</author></story>"
            "<story><title>Robots write poetry</title><url>u</url><time>t</time>"
            "<author>a</author></story>"
            "</backslash>");
        answer.delay = 400ms;
        return answer;
    });

    QStringList log;
    AudioEngine engine;
    TextToSpeech talk(engine);
    WordRecorder words;
    talk.setWordListener(words.listener());
    talk.setSpeed(320);
    LoggingPlayer player(engine, log);
    LoggingVoice voice(talk, log);

    Tolvars state;
    state.Loops = true;
    state.NowTime = true;
    state.NowNews = true;
    state.ManyTime = 1;
    state.ManyNews = 1;
    state.CommentBase = QStringLiteral("2000");
    const QString first = audio_test::media("tagged.mp3");
    const QString second = audio_test::media("chord.wav");
    state.SongList = {first, second};
    state.SongCount = 2;
    state.SongIndex = 1;
    state.SongFile = first;

    RadioAnnouncer announcer(state, voice);
    announcer.setClock([] { return QTime(21, 7, 0); });
    announcer.setNewsHost(server.host());
    Sequencer sequencer(state, player, voice, announcer);

    sequencer.PlayIt();
    EXPECT_EQ(state.SongTitle, QStringLiteral("Test Tone"));
    const QString openSecond = QStringLiteral("open ") + second;
    ASSERT_TRUE(testing_support::waitUntil([&] { return log.contains(openSecond); }, 60s))
        << log.join(QLatin1Char('\n')).toStdString();

    const QString time = QStringLiteral("09:07 ") + QLocale::system().pmText();
    const QStringList expected = {
        QStringLiteral("open ") + first,
        "say That was Test Tone,    " + state.SpeechText + ",       And Tonights time is " + time,
        QStringLiteral("say Tonights tech headlines are as follows ...    "),
        QStringLiteral("say Penguins learn to fly"),
        QStringLiteral("say Robots write poetry"),
        QStringLiteral("say And now,  back to the music."),
        openSecond,
    };
    EXPECT_EQ(log, expected);
    ASSERT_EQ(server.requests().size(), 1);

    // Everything before "And now" was heard before the second song began: the
    // sequencer waited for the last sample of the headlines.
    const QStringList heard = words.words();
    const qsizetype penguins = heard.indexOf(QStringLiteral("penguins"));
    const qsizetype robots = heard.indexOf(QStringLiteral("robots"));
    EXPECT_GE(penguins, 0) << heard.join(' ').toStdString();
    EXPECT_GT(robots, penguins);
    ASSERT_EQ(player.voiceFramesAtOpen.size(), 2);
    // Several seconds of speech at 22.05 kHz, far more than any single phrase.
    EXPECT_GT(player.voiceFramesAtOpen.at(1), 3u * 22050u);

    sequencer.halt();
    talk.stop();
    engine.StopMPEG();
}

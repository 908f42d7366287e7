// SPDX-License-Identifier: GPL-3.0-or-later
// The station sent to a real Icecast server and heard back as a listener.
#include "HeardSound.h"
#include "audio/AudioTestSupport.h"
#include "broadcast/Broadcast.h"
#include "broadcast/BroadcastAddress.h"
#include "common/IcecastServer.h"
#include "common/QStringPrinter.h"
#include "common/StreamListener.h"
#include "speech/TextToSpeech.h"

#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {
using namespace std::chrono_literals;
using audio_test::waitFor;
using State = BroadcastStatus::State;

const QString kStation = QStringLiteral("Tolvar MP3 Radio");

BroadcastAddress addressOf(const QString& text)
{
    const auto parsed = BroadcastAddress::parse(text);
    EXPECT_TRUE(std::holds_alternative<BroadcastAddress>(parsed));
    return std::holds_alternative<BroadcastAddress>(parsed) ? std::get<BroadcastAddress>(parsed)
                                                            : BroadcastAddress{};
}

bool onAir(const Broadcast& broadcast, std::chrono::milliseconds timeout = 10s)
{
    return waitFor([&] { return broadcast.status().state == State::OnAir; }, timeout);
}

struct Mount {
    const char* name;
    const char* mount;
    const char* extension;
    // Icecast 2.4 shows the title of an MP3 stream, told beside it; an Ogg
    // stream carries its titles in its own comments, which players read
    // and this Icecast leaves unshown.
    bool serverShowsTitle;
};

// The title as the listener's player learns it.
bool titled(const IcecastServer& server, const StreamListener& listener, const Mount& mount,
            const QString& title)
{
    if (mount.serverShowsTitle) {
        return server.titleOf(QString::fromLatin1(mount.mount)) == title;
    }
    return listener.body().contains("TITLE=" + title.toUtf8());
}

class OnTheAir : public testing::TestWithParam<Mount> {};

// The song and the voice after it reach a listener; Icecast shows the title.
TEST_P(OnTheAir, ListenerHearsTheSongAndTheVoiceAndSeesTheTitle)
{
    const QString mount = QString::fromLatin1(GetParam().mount);
    IcecastServer server;
    ASSERT_TRUE(server.start()) << server.errorLog().toStdString();
    QTemporaryDir dir;
    const QString song = dir.filePath(QStringLiteral("tone.wav"));
    ASSERT_TRUE(audio_test::writeToneWav(song, 1.5, 0.5, 440.0));

    AudioEngine engine(audio_test::asMade(AudioEngine::Output::SilentClock));
    TextToSpeech talk(engine);
    Broadcast broadcast(engine, kStation);
    QSignalSpy statuses(&broadcast, &Broadcast::statusChanged);
    broadcast.start(addressOf(server.sourceAddress(mount)));
    ASSERT_TRUE(onAir(broadcast)) << broadcast.status().text().toStdString();
    EXPECT_EQ(statuses.first().first().value<BroadcastStatus>().state, State::Connecting);
    StreamListener listener(server.port(), mount);
    ASSERT_TRUE(waitFor([&] { return listener.tunedIn() == 1; }, 5s));
    EXPECT_TRUE(waitFor([&] { return titled(server, listener, GetParam(), kStation); }, 5s))
        << server.get(QStringLiteral("/status-json.xsl")).toStdString();

    broadcast.setTitle(QStringLiteral("Tolvar Test - Test Tone"));
    ASSERT_EQ(audio_test::openSong(engine, song).error, QString());
    engine.PlayMPEG(1, engine.GetTotalframes());
    EXPECT_TRUE(waitFor(
        [&] {
            return titled(server, listener, GetParam(), QStringLiteral("Tolvar Test - Test Tone"));
        },
        5s))
        << server.get(QStringLiteral("/status-json.xsl")).toStdString();
    ASSERT_TRUE(audio_test::waitForEnd(engine, 5s));
    broadcast.setTitle(kStation);
    talk.speak(QStringLiteral("Good evening, this is the radio."));
    ASSERT_TRUE(waitFor([&] { return talk.speakingState() == 0; }, 10s));
    // What is sent now (silence, while the output pauses) pushes the rest
    // of the voice out of the encoder.
    const std::size_t before = listener.size();
    audio_test::waitFor([] { return false; }, 1500ms);
    ASSERT_GT(listener.size(), before);
    broadcast.stop();
    EXPECT_EQ(broadcast.status().state, State::Off);

    const heard_sound::Heard heard =
        heard_sound::decode(listener.body(), QString::fromLatin1(GetParam().extension));
    ASSERT_GT(heard.frames(), heard.rate * 2U);
    const long tone = heard_sound::firstWindowWith(heard, 4096, 440.0, 0.6);
    ASSERT_GE(tone, 0) << "the song's tone is not in the stream";
    // The tone's 1.5 s, then the voice: loud enough, and no 440 Hz.
    bool voice = false;
    for (std::size_t at = static_cast<std::size_t>(tone) + heard.rate * 3U / 2 + 4096;
         at + 4096 <= heard.frames(); at += 4096) {
        voice = voice || (heard_sound::level(heard, at, 4096) > 0.02 &&
                          heard_sound::toneShare(heard, at, 4096, 440.0) < 0.2);
    }
    EXPECT_TRUE(voice) << "no voice after the song";
}

INSTANTIATE_TEST_SUITE_P(Broadcast, OnTheAir,
                         testing::Values(Mount{"Mp3", "/radio.mp3", "mp3", true},
                                         Mount{"Opus", "/radio.opus", "opus", false}),
                         [](const testing::TestParamInfo<Mount>& info) {
                             return std::string(info.param.name);
                         });

// The server goes away mid-song and comes back: the stream is back within
// 10 s, and the speaker played on without a gap meanwhile.
TEST(Broadcast, ComesBackAfterTheServerRestartsWhileTheSpeakerPlaysOn)
{
    const QString mount = QStringLiteral("/radio.mp3");
    IcecastServer server;
    ASSERT_TRUE(server.start()) << server.errorLog().toStdString();
    QTemporaryDir dir;
    const QString song = dir.filePath(QStringLiteral("long.wav"));
    ASSERT_TRUE(audio_test::writeToneWav(song, 9.0, 0.5, 440.0, true));

    audio_test::SinkCapture speaker;
    AudioEngine engine(audio_test::asMade(AudioEngine::Output::SilentClock));
    speaker.attach(engine);
    Broadcast broadcast(engine, kStation);
    QStringList said;
    QObject::connect(&broadcast, &Broadcast::said, [&](const QString& line) { said << line; });
    broadcast.start(addressOf(server.sourceAddress(mount)));
    ASSERT_TRUE(onAir(broadcast));
    StreamListener listener(server.port(), mount);
    ASSERT_TRUE(waitFor([&] { return listener.tunedIn() == 1; }, 5s));

    ASSERT_EQ(audio_test::openSong(engine, song).error, QString());
    engine.PlayMPEG(1, engine.GetTotalframes());
    ASSERT_TRUE(waitFor([&] { return engine.GetPositionMs() > 1500; }, 5s));
    server.stop();
    ASSERT_TRUE(waitFor([&] { return broadcast.status().state == State::Retrying; }, 5s));
    EXPECT_TRUE(broadcast.status().why.contains(QStringLiteral("127.0.0.1")))
        << broadcast.status().why.toStdString();
    ASSERT_TRUE(server.start()) << server.errorLog().toStdString();
    const auto restarted = std::chrono::steady_clock::now();
    ASSERT_TRUE(onAir(broadcast, 10s)) << broadcast.status().text().toStdString();
    ASSERT_TRUE(waitFor([&] { return listener.tunedIn() == 2; }, 10s));
    const std::size_t back = listener.size();
    ASSERT_TRUE(listener.waitForBytes(back + 8000, 5s));
    EXPECT_LT(std::chrono::steady_clock::now() - restarted, 10s);
    ASSERT_TRUE(audio_test::waitForEnd(engine, 15s));

    // The speaker: the whole song, no frame missing (the raised tone has
    // no zero of its own).
    const audio_test::Pcm played = audio_test::trimmed(speaker.played());
    EXPECT_EQ(speaker.dropped(), 0U);
    EXPECT_TRUE(audio_test::silentRuns(played, 1).empty());
    EXPECT_EQ(played.frames(), 9U * 44100);
    ASSERT_GE(said.size(), 3) << said.join('\n').toStdString();
    EXPECT_TRUE(said.at(0).startsWith(QStringLiteral("broadcast: on air")));
    EXPECT_TRUE(said.at(1).contains(QStringLiteral("trying again in 1 s")))
        << said.at(1).toStdString();
}

struct Refusal {
    const char* name;
    // Builds the address; may start a second source on the mount first.
    bool takenMount;
    const char* password;
};

class RefusedLogin : public testing::TestWithParam<Refusal> {};

// A wrong password or a mount in use: said once, clearly; tried again slowly.
TEST_P(RefusedLogin, IsSaidOnceAndTriedSlowly)
{
    const QString mount = QStringLiteral("/radio.mp3");
    IcecastServer server;
    ASSERT_TRUE(server.start()) << server.errorLog().toStdString();
    AudioEngine engine(audio_test::asMade(AudioEngine::Output::SilentClock));
    Broadcast first(engine, kStation);
    if (GetParam().takenMount) {
        first.start(addressOf(server.sourceAddress(mount)));
        ASSERT_TRUE(onAir(first));
    }
    Broadcast broadcast(engine, kStation);
    QStringList said;
    QObject::connect(&broadcast, &Broadcast::said, [&](const QString& line) { said << line; });
    broadcast.start(
        addressOf(server.sourceAddress(mount, QString::fromLatin1(GetParam().password))));
    ASSERT_TRUE(waitFor([&] { return broadcast.status().state == State::Retrying; }, 10s));
    EXPECT_TRUE(broadcast.status().why.contains(QStringLiteral("refused")))
        << broadcast.status().why.toStdString();
    audio_test::waitFor([] { return false; }, 1500ms);
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said.first().contains(QStringLiteral("trying again in 60 s")))
        << said.first().toStdString();
    EXPECT_FALSE(said.first().contains(QString::fromLatin1(GetParam().password)));
    EXPECT_EQ(broadcast.status().state, State::Retrying);
}

INSTANTIATE_TEST_SUITE_P(
    Broadcast, RefusedLogin,
    testing::Values(Refusal{"WrongPassword", false, "not-the-password"},
                    Refusal{"MountInUse", true, IcecastServer::kSourcePassword}),
    [](const testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

// Nobody listens at the port: retried with a growing pause, said once.
TEST(Broadcast, UnreachableServerIsRetriedWithAGrowingPause)
{
    IcecastServer closed;  // its port, never started
    AudioEngine engine(audio_test::asMade(AudioEngine::Output::SilentClock));
    Broadcast broadcast(engine, kStation);
    QStringList said;
    QObject::connect(&broadcast, &Broadcast::said, [&](const QString& line) { said << line; });
    QSignalSpy statuses(&broadcast, &Broadcast::statusChanged);
    broadcast.start(addressOf(closed.sourceAddress(QStringLiteral("/radio.mp3"))));
    // Tries at 0 s, 1 s and 3 s.
    ASSERT_TRUE(waitFor(
        [&] {
            int connecting = 0;
            for (const QList<QVariant>& status : statuses) {
                connecting += status.first().value<BroadcastStatus>().state == State::Connecting;
            }
            return connecting == 3;
        },
        6s));
    EXPECT_EQ(said.size(), 1) << said.join('\n').toStdString();
    EXPECT_TRUE(broadcast.status().why.contains(QStringLiteral("cannot reach")) ||
                broadcast.status().state == State::Connecting);
}
}  // namespace

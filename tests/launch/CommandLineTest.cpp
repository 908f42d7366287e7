// SPDX-License-Identifier: GPL-3.0-or-later
#include "launch/CommandLine.h"

#include <gtest/gtest.h>

namespace {

QStringList line(std::initializer_list<const char*> words)
{
    QStringList arguments{QStringLiteral("tolvar-radio")};
    for (const char* word : words) {
        arguments << QString::fromUtf8(word);
    }
    return arguments;
}

TEST(CommandLineTest, NamesBecomeAbsolutePathsInOrder)
{
    struct Case {
        std::initializer_list<const char*> words;
        QStringList paths;
        int problems;
    };
    const Case cases[] = {
        {{}, {}, 0},
        {{"Music"}, {QStringLiteral("/home/ann/Music")}, 0},
        {{"../bob/a.mp3", "/srv/list.pyl", "./x/../y"},
         {QStringLiteral("/home/bob/a.mp3"), QStringLiteral("/srv/list.pyl"),
          QStringLiteral("/home/ann/y")},
         0},
        // A file manager hands URLs; only local ones can play.
        {{"file:///home/ann/My%20Songs/b%C3%A9.mp3", "https://example.org/c.mp3", "file://host/x",
          "file://localhost/srv/d.wav"},
         {QStringLiteral("/home/ann/My Songs/bé.mp3"), QStringLiteral("/srv/d.wav")},
         2},
        // After "--" a name that looks like an option is a file.
        {{"--", "--help", "-v"},
         {QStringLiteral("/home/ann/--help"), QStringLiteral("/home/ann/-v")},
         0},
        {{""}, {}, 0},
    };
    for (const Case& c : cases) {
        const CommandLine parsed = CommandLine::parse(line(c.words), QStringLiteral("/home/ann"));
        const std::string what = line(c.words).join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(parsed.action(), CommandLine::Action::Run) << what;
        EXPECT_EQ(parsed.paths(), c.paths) << what;
        EXPECT_EQ(parsed.problems().size(), c.problems) << what;
    }
}

TEST(CommandLineTest, HelpVersionAndUnknownOptions)
{
    struct Case {
        std::initializer_list<const char*> words;
        CommandLine::Action action;
    };
    const Case cases[] = {
        {{"--help"}, CommandLine::Action::Help},
        {{"-h"}, CommandLine::Action::Help},
        {{"song.mp3", "--version"}, CommandLine::Action::Version},
        {{"-v", "--help"}, CommandLine::Action::Version},  // the first one asked
        {{"--shuffle"}, CommandLine::Action::Refuse},
        {{"-x", "--help"}, CommandLine::Action::Refuse},
        {{"-"}, CommandLine::Action::Run},  // a file named "-"
    };
    for (const Case& c : cases) {
        const CommandLine parsed = CommandLine::parse(line(c.words), QStringLiteral("/tmp"));
        EXPECT_EQ(parsed.action(), c.action) << line(c.words).join(QLatin1Char(' ')).toStdString();
    }
    const CommandLine unknown = CommandLine::parse(line({"--shuffle"}), QStringLiteral("/tmp"));
    EXPECT_TRUE(unknown.error().contains(QLatin1String("--shuffle")));

    EXPECT_TRUE(CommandLine::usage(QStringLiteral("tolvar-radio"))
                    .startsWith(QLatin1String(
                        "Usage: tolvar-radio [OPTION ...] [FILE|FOLDER|PLAYLIST ...]\n")));
    EXPECT_EQ(CommandLine::versionText(QStringLiteral("1.0")),
              QStringLiteral("Tolvar MP3 Radio 1.0\n"));
}

TEST(CommandLineTest, CrossfadeTakesWholeSecondsUpToTen)
{
    struct Case {
        std::initializer_list<const char*> words;
        CommandLine::Action action;
        std::optional<std::int16_t> seconds;
        QStringList paths;
    };
    const QStringList song{QStringLiteral("/tmp/a.mp3")};
    const Case cases[] = {
        {{"a.mp3"}, CommandLine::Action::Run, std::nullopt, song},
        {{"--crossfade", "4", "a.mp3"}, CommandLine::Action::Run, 4, song},
        {{"a.mp3", "--crossfade=0"}, CommandLine::Action::Run, 0, song},
        {{"--crossfade", "10"}, CommandLine::Action::Run, 10, {}},
        {{"--crossfade", "11"}, CommandLine::Action::Refuse, std::nullopt, {}},
        {{"--crossfade", "-1"}, CommandLine::Action::Refuse, std::nullopt, {}},
        {{"--crossfade", "2.5"}, CommandLine::Action::Refuse, std::nullopt, {}},
        {{"--crossfade"}, CommandLine::Action::Refuse, std::nullopt, {}},
        {{"--crossfade=", "a.mp3"}, CommandLine::Action::Refuse, std::nullopt, {}},
        // After "--" it is a file's name.
        {{"--", "--crossfade", "4"},
         CommandLine::Action::Run,
         std::nullopt,
         {QStringLiteral("/tmp/--crossfade"), QStringLiteral("/tmp/4")}},
    };
    for (const Case& c : cases) {
        const CommandLine parsed = CommandLine::parse(line(c.words), QStringLiteral("/tmp"));
        const std::string what = line(c.words).join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(parsed.action(), c.action) << what;
        EXPECT_EQ(parsed.crossfade(), c.seconds) << what;
        if (c.action == CommandLine::Action::Run) {
            EXPECT_EQ(parsed.paths(), c.paths) << what;
        } else {
            EXPECT_TRUE(parsed.error().contains(QLatin1String("--crossfade"))) << what;
        }
    }
}

TEST(CommandLineTest, BroadcastAddressIsCheckedBeforeTheRadioStarts)
{
    struct Case {
        std::initializer_list<const char*> words;
        CommandLine::Action action;
        // The mount sent to, or a word of the refusal.
        const char* mountOrWhy;
        bool noSpeaker;
    };
    const Case cases[] = {
        {{"--broadcast", "icecast://source:pw@host:8000/radio.mp3", "Music"},
         CommandLine::Action::Run,
         "/radio.mp3",
         false},
        {{"--no-speaker", "--broadcast=icecast://source:pw@host/live.opus?bitrate=64"},
         CommandLine::Action::Run,
         "/live.opus",
         true},
        {{"--no-speaker"}, CommandLine::Action::Run, "", true},
        {{"--broadcast"}, CommandLine::Action::Refuse, "needs an address", false},
        {{"--broadcast", "http://host/radio.mp3"},
         CommandLine::Action::Refuse,
         "icecast://",
         false},
        {{"--broadcast=icecast://source:pw@host/radio.wma"},
         CommandLine::Action::Refuse,
         ".mp3",
         false},
        {{"--broadcast", "icecast://source:pw@host/radio.mp3?bitrate=1000"},
         CommandLine::Action::Refuse,
         "1000",
         false},
    };
    for (const Case& c : cases) {
        const CommandLine parsed = CommandLine::parse(line(c.words), QStringLiteral("/tmp"));
        const std::string what = line(c.words).join(QLatin1Char(' ')).toStdString();
        ASSERT_EQ(parsed.action(), c.action) << what;
        const QString expected = QString::fromUtf8(c.mountOrWhy);
        if (c.action == CommandLine::Action::Refuse) {
            EXPECT_TRUE(parsed.error().contains(expected))
                << what << ": " << parsed.error().toStdString();
            EXPECT_FALSE(parsed.error().contains(QLatin1String("pw"))) << what;
            continue;
        }
        EXPECT_EQ(parsed.noSpeaker(), c.noSpeaker) << what;
        EXPECT_EQ(parsed.broadcast().has_value(), !expected.isEmpty()) << what;
        if (parsed.broadcast()) {
            EXPECT_EQ(parsed.broadcast()->mount, expected) << what;
        }
    }
    // The address is no song to play.
    EXPECT_EQ(CommandLine::parse(line({"--broadcast", "icecast://s:pw@h/r.mp3", "a.mp3"}),
                                 QStringLiteral("/tmp"))
                  .paths(),
              QStringList{QStringLiteral("/tmp/a.mp3")});
    EXPECT_TRUE(CommandLine::usage(QStringLiteral("tolvar-radio"))
                    .contains(QLatin1String("--broadcast URL")));
}

TEST(CommandLineTest, DefaultsPlayOnlyWhenNothingIsNamed)
{
    const QStringList demo{QStringLiteral("/usr/share/tolvar-radio/demo/demo-station.pyl")};
    EXPECT_EQ(CommandLine::parse(line({}), QStringLiteral("/tmp")).startPaths(demo), demo);
    EXPECT_EQ(CommandLine::parse(line({"a.wav"}), QStringLiteral("/tmp")).startPaths(demo),
              QStringList{QStringLiteral("/tmp/a.wav")});
    // A line that names only what cannot play does not fall back to the demo.
    EXPECT_TRUE(CommandLine::parse(line({"http://radio.example/stream"}), QStringLiteral("/tmp"))
                    .startPaths(demo)
                    .isEmpty());
}

}  // namespace

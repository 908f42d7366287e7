// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TestSupport.h"
#include "settings/CRegSettings.h"
#include "speech/VoiceSettingsStore.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <future>

namespace {

const QString kOptions = QStringLiteral("Options");

CRegSettings programStore()
{
    CRegSettings store;
    store.setCompany(QStringLiteral("Quintaviel Software"));
    store.setAppName(QStringLiteral("Tolvar MP3 v1.0"));
    return store;
}

// Runs the call on a thread of its own and waits at most two seconds. A call
// that is still reading a FIFO then is let go by a writer that closes at
// once (the reader sees the end of the file), so a failing test ends too.
bool answersAtOnce(const QString& fifo, const std::function<void()>& call)
{
    std::future<void> done = std::async(std::launch::async, call);
    if (done.wait_for(std::chrono::seconds(2)) == std::future_status::ready) {
        return true;
    }
    while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        const int writer =
            ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (writer >= 0) {
            ::close(writer);
        }
    }
    return false;
}

enum class Kind { Fifo, LinkToFifo, Socket, Folder, LongLine };

struct Planted {
    QString fifo;  // where a reader may hang
    QByteArray bytes;
};

// Puts something that is no settings file a radio can use at the settings
// file's place.
Planted plant(Kind kind, const QString& file, const QString& aside)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    const QByteArray name = QFile::encodeName(file);
    Planted planted;
    switch (kind) {
        case Kind::Fifo:
            EXPECT_EQ(::mkfifo(name.constData(), 0600), 0);
            planted.fifo = file;
            break;
        case Kind::LinkToFifo:
            EXPECT_EQ(::mkfifo(QFile::encodeName(aside).constData(), 0600), 0);
            EXPECT_TRUE(QFile::link(aside, file));
            planted.fifo = aside;
            break;
        case Kind::Socket: {
            const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            EXPECT_LT(static_cast<std::size_t>(name.size()), sizeof(address.sun_path));
            std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
            EXPECT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
            ::close(sock);
            break;
        }
        case Kind::Folder:
            EXPECT_TRUE(QDir().mkpath(file));
            break;
        case Kind::LongLine: {
            // A valid setting, then a 10 MB line.
            planted.bytes = "[Options]\nManyTime=7\nJunk=" + QByteArray(10 * 1024 * 1024, 'x') +
                            "\n[Voice]\nPitch=90\n";
            QFile out(file);
            EXPECT_TRUE(out.open(QIODevice::WriteOnly));
            EXPECT_EQ(out.write(planted.bytes), planted.bytes.size());
            break;
        }
    }
    return planted;
}

struct Snapshot {
    mode_t type = 0;
    QByteArray bytes;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const QString& file)
{
    struct stat info {};
    Snapshot shot;
    if (::lstat(QFile::encodeName(file).constData(), &info) == 0) {
        shot.type = info.st_mode & S_IFMT;
    }
    if (S_ISREG(info.st_mode)) {
        QFile in(file);
        if (in.open(QIODevice::ReadOnly)) {
            shot.bytes = in.readAll();
        }
    }
    return shot;
}

}  // namespace

// A settings file that is a FIFO (or a link to one), a socket, a folder or a
// file with a 10 MB line: both stores that read the file answer at once with
// their defaults, write nothing, leave the file as it was, and say why on
// stderr.
TEST(HostileSettingsFile, TheRadioRunsOnDefaultsAndLeavesTheFileAlone)
{
    const struct {
        const char* name;
        Kind kind;
        const char* said;
    } cases[] = {
        {"FIFO", Kind::Fifo, "not a regular file"},
        {"link to a FIFO", Kind::LinkToFifo, "not a regular file"},
        {"socket", Kind::Socket, "not a regular file"},
        {"folder", Kind::Folder, "not a regular file"},
        {"10 MB line", Kind::LongLine, "larger than"},
    };
    for (const auto& c : cases) {
        testing_support::SettingsSandbox sandbox;
        const QString file = sandbox.settingsFile();
        const Planted planted = plant(c.kind, file, sandbox.path() + QStringLiteral("/aside"));
        const Snapshot before = snapshot(file);

        testing::internal::CaptureStderr();
        QElapsedTimer clock;
        clock.start();
        QString manyTime;
        bool optionWritten = true;
        VoiceSettings voice;
        bool voiceWritten = true;
        const bool prompt = answersAtOnce(planted.fifo, [&] {
            CRegSettings store = programStore();
            manyTime = store.GetSetting(kOptions, QStringLiteral("ManyTime"), QStringLiteral("4"));
            optionWritten =
                store.SaveSetting(kOptions, QStringLiteral("ManyTime"), QStringLiteral("9"));
            voice = VoiceSettingsStore().load();
            VoiceSettings louder;
            louder.volume = 150;
            voiceWritten = VoiceSettingsStore().save(louder);
        });
        const std::string said = testing::internal::GetCapturedStderr();

        EXPECT_TRUE(prompt) << c.name;
        EXPECT_LT(clock.elapsed(), 1000) << c.name;
        EXPECT_EQ(manyTime, QStringLiteral("4")) << c.name;
        EXPECT_FALSE(optionWritten) << c.name;
        EXPECT_EQ(voice, VoiceSettings()) << c.name;
        EXPECT_FALSE(voiceWritten) << c.name;
        EXPECT_TRUE(snapshot(file) == before) << c.name;
        EXPECT_NE(said.find(QFile::encodeName(file).toStdString()), std::string::npos)
            << c.name << ": " << said;
        EXPECT_NE(said.find(c.said), std::string::npos) << c.name << ": " << said;
        EXPECT_NE(said.find("defaults"), std::string::npos) << c.name << ": " << said;
    }
}

// One store tells once why it leaves the file alone, not at every read; and
// a file that is put right is read again.
TEST(HostileSettingsFile, AStoreSaysItOnceAndReadsAMendedFile)
{
    testing_support::SettingsSandbox sandbox;
    const QString file = sandbox.settingsFile();
    plant(Kind::LongLine, file, QString());
    const CRegSettings store = programStore();

    testing::internal::CaptureStderr();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("ManyTime"), QStringLiteral("4")),
                  QStringLiteral("4"));
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;

    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write("[Options]\nManyTime=7\n");
    out.close();
    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("ManyTime"), QStringLiteral("4")),
              QStringLiteral("7"));
}

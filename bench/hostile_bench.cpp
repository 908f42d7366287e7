// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the hostile files a real library or a broken download can hold, the
// way the radio does, each in a child process, and prints how long it took,
// the child's peak memory and the outcome. Nothing here is asserted.
//
//   hostile_bench [scratch folder]   (default: a temporary folder; up to
//                                     about 400 MB of disk for a moment)
#include "audio/decode/DecoderFactory.h"
#include "audio/decode/MidiFile.h"
#include "playlist/PlaylistStore.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void put(QByteArray& out, std::uint32_t value, int bytes, bool big)
{
    for (int i = 0; i < bytes; ++i) {
        const int shift = 8 * (big ? bytes - 1 - i : i);
        out.append(static_cast<char>((value >> shift) & 0xFF));
    }
}

QByteArray vlq(std::uint32_t value)
{
    QByteArray out(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0) {
        out.prepend(static_cast<char>(0x80 | (value & 0x7F)));
    }
    return out;
}

QByteArray midi(const QByteArray& events, int division)
{
    QByteArray out("MThd");
    put(out, 6, 4, true);
    put(out, 0, 2, true);
    put(out, 1, 2, true);
    put(out, static_cast<std::uint32_t>(division), 2, true);
    out += "MTrk";
    const QByteArray track = events + QByteArray("\x00\xFF\x2F\x00", 4);
    put(out, static_cast<std::uint32_t>(track.size()), 4, true);
    return out + track;
}

QByteArray note(std::uint32_t delta, std::uint32_t length)
{
    return vlq(delta) + QByteArray("\x90\x3C\x64", 3) + vlq(length) + QByteArray("\x80\x3C\x00", 3);
}

QByteArray tempo(std::uint32_t delta, std::uint32_t micros)
{
    QByteArray out = vlq(delta) + QByteArray("\xFF\x51\x03", 3);
    put(out, micros, 3, true);
    return out;
}

QByteArray wav(std::uint32_t rate, std::uint32_t frames)
{
    QByteArray out("RIFF");
    put(out, 36 + frames * 2, 4, false);
    out += "WAVEfmt ";
    put(out, 16, 4, false);
    put(out, 1, 2, false);
    put(out, 1, 2, false);
    put(out, rate, 4, false);
    put(out, rate * 2, 4, false);
    put(out, 2, 2, false);
    put(out, 16, 2, false);
    out += "data";
    put(out, frames * 2, 4, false);
    return out + QByteArray(static_cast<qsizetype>(frames) * 2, '\x10');
}

bool writeFile(const QString& path, const QByteArray& bytes, qint64 sparseSize = -1)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
        return false;
    }
    return sparseSize < 0 || out.resize(sparseSize);
}

QByteArray repeatTo(const QByteArray& line, qint64 size)
{
    QByteArray out;
    out.reserve(size);
    while (out.size() + line.size() <= size) {
        out += line;
    }
    return out;
}

// Runs the work in a child and prints its time, peak memory and outcome.
void measure(const char* name, const std::function<QString()>& work)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return;
    }
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        const QByteArray outcome = work().toUtf8().left(200);
        (void)!write(pipeFds[1], outcome.constData(), static_cast<std::size_t>(outcome.size()));
        _exit(0);
    }
    close(pipeFds[1]);
    char text[256] = {};
    (void)!read(pipeFds[0], text, sizeof text - 1);
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::printf("%-40s %8.0f ms %7.1f MB  %s\n", name, ms, usage.ru_maxrss / 1024.0,
                WIFEXITED(status) ? text : "CRASHED");
    std::fflush(stdout);
}

QString openSong(const QString& path)
{
    QString error;
    const DecoderFactory factory(DecoderFactory::defaultSoundFont());
    const std::unique_ptr<Decoder> decoder = factory.open(path, error);
    if (!decoder) {
        return QStringLiteral("refused: ") + error.section(QLatin1Char(':'), 0, 0);
    }
    // A second of it, as the decode worker would.
    std::vector<std::int16_t> block(4096 * 8);
    std::int64_t read = 0;
    while (read < decoder->sampleRate()) {
        const std::size_t got = decoder->read(block.data(), 4096);
        if (got == 0) {
            break;
        }
        read += static_cast<std::int64_t>(got);
    }
    return QStringLiteral("plays: %1 Hz, %2 ch, %3 s long")
        .arg(decoder->sampleRate())
        .arg(decoder->channels())
        .arg(static_cast<double>(decoder->length()) / decoder->sampleRate(), 0, 'f', 1);
}

QString readPlaylist(const QString& path)
{
    const std::optional<QStringList> entries = PlaylistStore(QStringLiteral("/")).read(path);
    return entries ? QStringLiteral("%1 entries").arg(entries->size())
                   : QStringLiteral("refused (None found.)");
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    auto file = [&folder](const char* name) { return folder + QLatin1Char('/') + name; };

    std::printf("%-40s %11s %10s  %s\n", "file", "time", "peak", "outcome");
    mkfifo(file("fifo.mp3").toLocal8Bit().constData(), 0600);
    measure("FIFO named x.mp3", [&] { return openSong(file("fifo.mp3")); });
    writeFile(file("2hz.wav"), wav(2, 20000));
    measure("40 KB WAV at 2 Hz", [&] { return openSong(file("2hz.wav")); });
    writeFile(file("wave.mp3"), wav(44100, 44100));
    measure("WAV named .mp3", [&] { return openSong(file("wave.mp3")); });

    QByteArray overflow = tempo(0, 0xFFFFFF);
    for (int i = 0; i < 1000; ++i) {
        overflow += note(0x0FFFFFFF, 0x0FFFFFFF);
    }
    writeFile(file("overflow.mid"), midi(overflow, 1));
    measure("14 KB MIDI, tempo x delta overflow", [&] { return openSong(file("overflow.mid")); });
    writeFile(
        file("slow.mid"),
        midi(tempo(0, 0xFFFFFF) + note(0, 1) + vlq(0x0FFFFFFF) + QByteArray("\xFF\x01\x00", 3), 1));
    measure("MIDI, slowest tempo, late end", [&] { return openSong(file("slow.mid")); });
    QByteArray tempos = note(0, 1);
    while (tempos.size() < 15 * 1024 * 1024) {
        tempos += tempo(1, 400000 + static_cast<std::uint32_t>(tempos.size() % 5000));
    }
    writeFile(file("tempos.mid"), midi(tempos, 96));
    measure("15 MB MIDI of tempo events", [&] { return openSong(file("tempos.mid")); });
    QByteArray most = note(0, 1);
    for (std::uint32_t i = 0; i < MidiFile::kMaxEvents - 10; ++i) {
        most += tempo(1, 400000 + i % 5000);
    }
    writeFile(file("most.mid"), midi(most, 96));
    measure("MIDI of 499,990 tempo events", [&] { return openSong(file("most.mid")); });

    const QString mp3 = file("tone.mp3");
    if (QFile::exists(QStringLiteral("build/tests/audio/media/tone.mp3"))) {
        QFile::copy(QStringLiteral("build/tests/audio/media/tone.mp3"), mp3);
        QFile in(mp3);
        in.open(QIODevice::ReadOnly);
        writeFile(file("id3.mp3"), QByteArray("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) +
                                       QByteArray(2000, '\0') + in.readAll());
        measure("mp3 behind a 256 MB ID3v2 claim", [&] { return openSong(file("id3.mp3")); });
        writeFile(file("id3only.mp3"),
                  QByteArray("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) + QByteArray(20000, 'j'));
        measure("256 MB ID3v2 claim, no audio", [&] { return openSong(file("id3only.mp3")); });
        {
            // A true claim of 256 MB (sparse), then the audio.
            QFile big(file("id3big.mp3"));
            big.open(QIODevice::WriteOnly);
            big.write(QByteArray("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10));
            big.seek(10 + 0x0FFFFFFF);
            in.seek(0);
            big.write(in.readAll());
        }
        measure("mp3 behind a true 256 MB ID3v2 tag", [&] { return openSong(file("id3big.mp3")); });
    }

    writeFile(file("huge.pyl"), "/a.mp3\r\n", 1024LL * 1024 * 1024);
    measure("1 GiB .pyl", [&] { return readPlaylist(file("huge.pyl")); });
    const qint64 limit = PlaylistStore::kMaxFileBytes;
    writeFile(file("short.pyl"), repeatTo("a\r\n", limit));
    measure("64 MiB .pyl of 1-byte lines", [&] { return readPlaylist(file("short.pyl")); });
    writeFile(file("paths.pyl"),
              repeatTo("/home/someone/Music/" + QByteArray(60, 'p') + ".mp3\r\n", limit));
    measure("64 MiB .pyl of 86-byte paths", [&] { return readPlaylist(file("paths.pyl")); });
    writeFile(file("long.pyl"), repeatTo("/" + QByteArray(4000, 'l') + "\r\n", limit));
    measure("64 MiB .pyl of 4,001-byte lines", [&] { return readPlaylist(file("long.pyl")); });
    writeFile(file("over.pyl"), repeatTo("/" + QByteArray(5000, 'o') + "\r\n", limit));
    measure("64 MiB .pyl of 5,001-byte lines", [&] { return readPlaylist(file("over.pyl")); });
    for (const char* name :
         {"fifo.mp3", "2hz.wav", "wave.mp3", "overflow.mid", "slow.mid", "tempos.mid", "most.mid",
          "tone.mp3", "id3.mp3", "id3only.mp3", "id3big.mp3", "huge.pyl", "short.pyl", "paths.pyl",
          "long.pyl", "over.pyl"}) {
        QFile::remove(file(name));
    }
    return 0;
}

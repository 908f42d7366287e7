// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/decode/MidiFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {
constexpr std::uint32_t kDefaultMicrosPerQuarter = 500000;  // 120 beats per minute

std::uint64_t saturatingAdd(std::uint64_t a, std::uint64_t b)
{
    return b > UINT64_MAX - a ? UINT64_MAX : a + b;
}
}  // namespace

// Bounds-checked big-endian reading over the file bytes.
class MidiFile::Reader {
public:
    Reader(const QByteArray& data, std::size_t begin, std::size_t end)
        : data_(data), pos_(begin), end_(end)
    {
    }
    bool atEnd() const { return pos_ >= end_; }
    std::size_t position() const { return pos_; }
    bool byte(std::uint8_t& value)
    {
        if (pos_ >= end_) {
            return false;
        }
        value = static_cast<std::uint8_t>(data_[static_cast<qsizetype>(pos_++)]);
        return true;
    }
    bool bigEndian(int bytes, std::uint32_t& value)
    {
        value = 0;
        for (int i = 0; i < bytes; ++i) {
            std::uint8_t b = 0;
            if (!byte(b)) {
                return false;
            }
            value = (value << 8) | b;
        }
        return true;
    }
    // Variable-length quantity: at most four bytes.
    bool variable(std::uint32_t& value)
    {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t b = 0;
            if (!byte(b)) {
                return false;
            }
            value = (value << 7) | (b & 0x7Fu);
            if ((b & 0x80u) == 0) {
                return true;
            }
        }
        return false;
    }
    bool skip(std::uint32_t count)
    {
        if (count > end_ - pos_) {
            return false;
        }
        pos_ += count;
        return true;
    }

private:
    const QByteArray& data_;
    std::size_t pos_;
    std::size_t end_;
};

std::optional<MidiFile> MidiFile::parse(const QByteArray& data, QString& error)
{
    MidiFile file;
    file.data_ = data;
    const auto size = static_cast<std::size_t>(data.size());
    if (size < 14 || !data.startsWith("MThd")) {
        error = QStringLiteral("Not a MIDI file (no MThd header)");
        return std::nullopt;
    }
    Reader header(data, 4, size);
    std::uint32_t length = 0;
    std::uint32_t format = 0;
    std::uint32_t tracks = 0;
    std::uint32_t division = 0;
    header.bigEndian(4, length);
    header.bigEndian(2, format);
    header.bigEndian(2, tracks);
    header.bigEndian(2, division);
    if (length < 6 || format > 2 || tracks == 0 || division == 0) {
        error = QStringLiteral("The MIDI file header is damaged");
        return std::nullopt;
    }
    if ((division & 0x8000u) != 0) {
        const int fps = -static_cast<std::int8_t>(division >> 8);
        const auto ticksPerFrame = static_cast<int>(division & 0xFFu);
        if (fps <= 0 || ticksPerFrame == 0) {
            error = QStringLiteral("The MIDI file header is damaged");
            return std::nullopt;
        }
        const double rate = fps == 29 ? 29.97 : fps;
        file.smpteSecondsPerTick_ = 1.0 / (rate * ticksPerFrame);
    } else {
        file.ticksPerQuarter_ = static_cast<int>(division);
    }

    Reader chunks(data, 8 + static_cast<std::size_t>(length), size);
    std::uint32_t found = 0;
    while (!chunks.atEnd() && found < tracks) {
        std::uint32_t type = 0;
        std::uint32_t chunkLength = 0;
        if (!chunks.bigEndian(4, type) || !chunks.bigEndian(4, chunkLength)) {
            error = QStringLiteral("The MIDI file is truncated");
            return std::nullopt;
        }
        const std::size_t begin = chunks.position();
        if (!chunks.skip(chunkLength)) {
            error = QStringLiteral("The MIDI file is truncated");
            return std::nullopt;
        }
        if (type != 0x4D54726Bu) {  // "MTrk"; other chunks are skipped
            continue;
        }
        Reader track(data, begin, begin + chunkLength);
        if (!file.readTrack(track, error)) {
            return std::nullopt;
        }
        ++found;
    }
    if (found == 0) {
        error = QStringLiteral("The MIDI file has no tracks");
        return std::nullopt;
    }
    if (!file.lastNoteTick_) {
        error = QStringLiteral("The MIDI file has no notes");
        return std::nullopt;
    }
    std::stable_sort(file.tempos_.begin(), file.tempos_.end(),
                     [](const Tempo& a, const Tempo& b) { return a.tick < b.tick; });
    if (file.tempos_.empty() || file.tempos_.front().tick != 0) {
        file.addTempo(0, kDefaultMicrosPerQuarter);
        std::stable_sort(file.tempos_.begin(), file.tempos_.end(),
                         [](const Tempo& a, const Tempo& b) { return a.tick < b.tick; });
    }
    return file;
}

bool MidiFile::readTrack(Reader& reader, QString& error)
{
    const QString damaged = QStringLiteral("The MIDI file has a damaged track");
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    while (!reader.atEnd()) {
        std::uint32_t delta = 0;
        std::uint8_t status = 0;
        if (!reader.variable(delta) || !reader.byte(status)) {
            error = damaged;
            return false;
        }
        if (++events_ > kMaxEvents) {
            error = QStringLiteral("The MIDI file has too many events");
            return false;
        }
        tick = saturatingAdd(tick, delta);
        lastTick_ = std::max(lastTick_, tick);
        std::uint32_t dataBytes = 0;
        if (status < 0x80) {
            if (running == 0) {
                error = damaged;
                return false;
            }
            dataBytes = 1;  // the first data byte was just read as status
            status = running;
        } else if (status < 0xF0) {
            running = status;
            dataBytes = 2;
        }
        if (status < 0xF0) {
            const std::uint8_t kind = status & 0xF0u;
            if (kind == 0x80 || kind == 0x90) {
                lastNoteTick_ = std::max(lastNoteTick_.value_or(0), tick);
            }
            if (kind == 0xC0 || kind == 0xD0) {
                dataBytes -= 1;
            }
            if (!reader.skip(dataBytes)) {
                error = damaged;
                return false;
            }
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            std::uint32_t length = 0;
            running = 0;
            if (!reader.variable(length) || !reader.skip(length)) {
                error = damaged;
                return false;
            }
            continue;
        }
        if (status != 0xFF) {
            error = damaged;
            return false;
        }
        std::uint8_t type = 0;
        std::uint32_t length = 0;
        if (!reader.byte(type) || !reader.variable(length)) {
            error = damaged;
            return false;
        }
        if (type == 0x51 && length == 3) {
            std::uint32_t micros = 0;
            if (!reader.bigEndian(3, micros)) {
                error = damaged;
                return false;
            }
            addTempo(tick, micros == 0 ? kDefaultMicrosPerQuarter : micros);
            continue;
        }
        if (!reader.skip(length)) {
            error = damaged;
            return false;
        }
        if (type == 0x2F) {
            return true;  // end of track
        }
    }
    return true;
}

void MidiFile::addTempo(std::uint64_t tick, std::uint32_t microsPerQuarter)
{
    const double perTick = smpteSecondsPerTick_ > 0.0 ? smpteSecondsPerTick_
                                                      : microsPerQuarter / 1e6 / ticksPerQuarter_;
    tempos_.push_back(Tempo{tick, perTick});
}

double MidiFile::durationSeconds() const
{
    const double end = secondsAt(lastTick_);
    const double lastNote = secondsAt(lastNoteTick_.value_or(0));
    return std::min({end, lastNote + kTrailingSeconds, kMaxSeconds});
}

double MidiFile::secondsAt(std::uint64_t tick) const
{
    double seconds = 0.0;
    for (std::size_t i = 0; i < tempos_.size(); ++i) {
        const std::uint64_t from = tempos_[i].tick;
        if (from >= tick) {
            break;
        }
        const std::uint64_t to =
            i + 1 < tempos_.size() ? std::min(tick, tempos_[i + 1].tick) : tick;
        seconds += static_cast<double>(to - from) * tempos_[i].secondsPerTick;
    }
    return seconds;
}

std::uint64_t MidiFile::tickAt(double seconds) const
{
    double elapsed = 0.0;
    for (std::size_t i = 0; i < tempos_.size(); ++i) {
        const bool last = i + 1 == tempos_.size();
        const double span = last ? 0.0
                                 : static_cast<double>(tempos_[i + 1].tick - tempos_[i].tick) *
                                       tempos_[i].secondsPerTick;
        if (last || elapsed + span > seconds) {
            const double ticks = std::ceil((seconds - elapsed) / tempos_[i].secondsPerTick - 1e-9);
            // 2^64 as a double: anything from there on does not fit.
            constexpr double kBeyond = 18446744073709551616.0;
            if (!(ticks < kBeyond)) {
                return UINT64_MAX;
            }
            return saturatingAdd(tempos_[i].tick, static_cast<std::uint64_t>(std::max(0.0, ticks)));
        }
        elapsed += span;
    }
    return 0;
}

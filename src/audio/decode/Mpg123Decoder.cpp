// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/decode/Mpg123Decoder.h"

#include "audio/decode/MpegSync.h"

#include <mpg123.h>
#include <algorithm>
#include <cstdint>
#include <mutex>

namespace {
// Junk inside a file: give up after this many bytes without a frame, which
// ends the song instead of grinding through megabytes of noise.
constexpr long kResyncLimit = 16384;
// A real MPEG stream has at least this many frames in a row; random bytes
// rarely fake more than one or two.
constexpr off_t kMinimumFrames = 3;
// Read ahead of the library in pieces of this size: a hundred frames of 128 kbps.
constexpr std::size_t kReadAhead = 32768;

void initLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

QString describe(mpg123_handle* handle, int code)
{
    if (code == MPG123_ERR && handle != nullptr) {
        return QString::fromUtf8(mpg123_strerror(handle));
    }
    return QString::fromUtf8(mpg123_plain_strerror(code));
}
}  // namespace

Mpg123Decoder::Mpg123Decoder(mpg123_handle* handle, RegularFile file)
    : handle_(handle), file_(std::move(file))
{
}

Mpg123Decoder::~Mpg123Decoder()
{
    mpg123_close(handle_);
    mpg123_delete(handle_);
}

ssize_t Mpg123Decoder::readFile(void* self, void* out, std::size_t bytes)
{
    auto* decoder = static_cast<Mpg123Decoder*>(self);
    const std::int64_t got = decoder->readBuffered(static_cast<unsigned char*>(out), bytes);
    if (got < 0) {
        return -1;
    }
    decoder->position_ += got;
    return static_cast<ssize_t>(got);
}

// Reads from position_ on; returns the bytes read, 0 at the end, -1 on a fault.
std::int64_t Mpg123Decoder::readBuffered(unsigned char* out, std::size_t bytes)
{
    if (bytes >= kReadAhead) {
        return file_.readAt(start_ + position_, out, bytes);
    }
    const auto held = static_cast<std::int64_t>(ahead_.size());
    if (position_ < aheadAt_ || position_ + static_cast<std::int64_t>(bytes) > aheadAt_ + held) {
        ahead_.resize(kReadAhead);
        const std::int64_t got = file_.readAt(start_ + position_, ahead_.data(), kReadAhead);
        ahead_.resize(static_cast<std::size_t>(std::max<std::int64_t>(got, 0)));
        aheadAt_ = position_;
        if (got < 0) {
            return -1;
        }
    }
    const auto from = static_cast<std::size_t>(position_ - aheadAt_);
    const std::size_t n = std::min(bytes, ahead_.size() - from);
    std::copy_n(ahead_.begin() + static_cast<std::ptrdiff_t>(from), n, out);
    return static_cast<std::int64_t>(n);
}

off_t Mpg123Decoder::seekFile(void* self, off_t offset, int whence)
{
    auto* decoder = static_cast<Mpg123Decoder*>(self);
    std::int64_t base = 0;
    if (whence == SEEK_CUR) {
        base = decoder->position_;
    } else if (whence == SEEK_END) {
        base = decoder->file_.currentSize() - decoder->start_;
    } else if (whence != SEEK_SET) {
        return -1;
    }
    if (base < 0 || offset < -base || offset > INT64_MAX - base) {
        return -1;
    }
    decoder->position_ = base + offset;
    return static_cast<off_t>(decoder->position_);
}

std::unique_ptr<Mpg123Decoder> Mpg123Decoder::open(RegularFile file, QString& error)
{
    initLibrary();
    int code = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &code);
    if (handle == nullptr) {
        error = QStringLiteral("The MPEG decoder cannot start: %1").arg(describe(nullptr, code));
        return nullptr;
    }
    std::unique_ptr<Mpg123Decoder> decoder(new Mpg123Decoder(handle, std::move(file)));
    // ID3v2 tags are skipped, not read: a tag may claim 256 MB, which the
    // library would otherwise set aside whole. Titles come from TagReader.
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_SKIP_ID3V2, 0.0);
    mpg123_param(handle, MPG123_RESYNC_LIMIT, kResyncLimit, 0.0);
    mpg123_param(handle, MPG123_REMOVE_FLAGS, MPG123_AUTO_RESAMPLE, 0.0);
    // Every rate, 16-bit only: rate conversion is the mixer's job.
    mpg123_format_none(handle);
    const long* rates = nullptr;
    std::size_t count = 0;
    mpg123_rates(&rates, &count);
    for (std::size_t i = 0; i < count; ++i) {
        mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }

    decoder->start_ = MpegSync::audioStart(decoder->file_);
    if (mpg123_replace_reader_handle(handle, &Mpg123Decoder::readFile, &Mpg123Decoder::seekFile,
                                     nullptr) != MPG123_OK ||
        mpg123_open_handle(handle, decoder.get()) != MPG123_OK) {
        error = QStringLiteral("Cannot open the file: %1").arg(describe(handle, MPG123_ERR));
        return nullptr;
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle, &rate, &channels, &encoding) != MPG123_OK) {
        error = QStringLiteral("No MPEG audio found in the file (%1)")
                    .arg(describe(handle, MPG123_ERR));
        return nullptr;
    }
    // The full scan gives the exact length and the seek index.
    if (mpg123_scan(handle) != MPG123_OK || mpg123_framelength(handle) < kMinimumFrames) {
        error = QStringLiteral("No MPEG audio found in the file");
        return nullptr;
    }
    const off_t length = mpg123_length(handle);
    if (length <= 0) {
        error = QStringLiteral("The MPEG audio in the file has no length");
        return nullptr;
    }
    decoder->rate_ = static_cast<int>(rate);
    decoder->channels_ = channels;
    decoder->length_ = length;
    return decoder;
}

bool Mpg123Decoder::seek(std::int64_t frame)
{
    ended_ = false;
    return mpg123_seek(handle_, static_cast<off_t>(frame), SEEK_SET) >= 0;
}

std::size_t Mpg123Decoder::read(std::int16_t* out, std::size_t frames)
{
    const std::size_t frameBytes = sizeof(std::int16_t) * static_cast<std::size_t>(channels_);
    auto* bytes = reinterpret_cast<unsigned char*>(out);
    std::size_t got = 0;
    int idle = 0;
    while (!ended_ && got < frames * frameBytes) {
        std::size_t done = 0;
        const int code = mpg123_read(handle_, bytes + got, frames * frameBytes - got, &done);
        got += done;
        idle = done == 0 ? idle + 1 : 0;
        if (idle > 64) {
            ended_ = true;  // never spin on a stream that yields nothing
        }
        if (code == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0;
            int encoding = 0;
            mpg123_getformat(handle_, &rate, &channels, &encoding);
            // A stream that changes format midway cannot go on as one song.
            if (rate != rate_ || channels != channels_) {
                ended_ = true;
            }
        } else if (code != MPG123_OK) {
            ended_ = true;  // the end, or junk beyond the resync limit
        }
    }
    return got / frameBytes;
}

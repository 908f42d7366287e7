// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/SongSlot.h"

#include "audio/AudioFormat.h"
#include "audio/PcmConverter.h"
#include "audio/mix/Mixer.h"
#include "audio/mix/PcmRing.h"

#include <algorithm>

namespace {
// Decoded per step: small enough for a quick first sample after a seek.
constexpr std::size_t kChunkFrames = 2048;
// SDL 2.26's resampler drifts by up to a frame per put, so songs that need
// resampling go in larger pieces.
constexpr std::size_t kResampledChunkFrames = 8192;
constexpr std::size_t kMaxChannels = 8;
// The output reads a ring 1,024 frames at a time and looks at its end
// between them: a written end this far ahead of it can still be moved.
constexpr std::uint64_t kReopenMargin = 8192;
// While measuring as it plays, the gain follows the measurement this often.
constexpr std::uint64_t kRefineEvery = audio_format::kRate;
}  // namespace

SongSlot::SongSlot(int index, Mixer& mixer)
    : index_(index),
      mixer_(mixer),
      stage_(audio_format::kRate),
      meter_(audio_format::kRate, audio_format::kChannels),
      decoded_(kResampledChunkFrames * kMaxChannels),
      converted_(kChunkFrames * audio_format::kChannels),
      levelled_((kChunkFrames + 1024) * audio_format::kChannels)
{
}

SongSlot::~SongSlot() = default;

PcmRing& SongSlot::ring()
{
    return mixer_.musicRing(index_);
}

void SongSlot::clear()
{
    stopRange();
    state_ = State::Empty;
    id_ = {};
    path_.clear();
    error_.clear();
    decoder_.reset();
    converter_.reset();
    asDecoded_ = false;
    heldFrames_ = heldTaken_ = 0;
    loudness_.reset();
    cacheKey_.reset();
    measuredFrames_ = 0;
    album_ = {};
    span_.reset();
    soundStart_ = soundEnd_ = 0;
}

void SongSlot::beginLoading(SongId id, const QString& path)
{
    clear();
    state_ = State::Loading;
    id_ = id;
    path_ = path;
}

bool SongSlot::install(LoadedSong song)
{
    error_ = song.error;
    loudness_ = song.loudness;
    measuredFrames_ = song.measuredFrames;
    cacheKey_ = song.cacheKey;
    album_ = song.album;
    decoder_ = std::move(song.decoder);
    if (decoder_) {
        converter_ = std::make_unique<PcmConverter>(decoder_->sampleRate(), decoder_->channels());
        if (!converter_->valid() || decoder_->channels() > static_cast<int>(kMaxChannels)) {
            error_ = QStringLiteral("This sound format cannot be played: %1").arg(path_);
            decoder_.reset();
            converter_.reset();
        }
    }
    state_ = decoder_ ? State::Ready : State::Failed;
    asDecoded_ = decoder_ && decoder_->sampleRate() == audio_format::kRate &&
                 decoder_->channels() == audio_format::kChannels;
    if (decoder_) {
        soundEnd_ = decoder_->length();
        // A span from another version of the file (or a faulty measurement)
        // that does not fit the song is not believed.
        if (loudness_ && loudness_->span && loudness_->span->end <= soundEnd_) {
            span_ = loudness_->span;
            soundStart_ = span_->start;
            soundEnd_ = span_->end;
        }
    }
    return decoder_ != nullptr;
}

std::int64_t SongSlot::length() const
{
    return decoder_ ? soundEnd_ - soundStart_ : 0;
}

void SongSlot::keepHead()
{
    soundStart_ = 0;
}

bool SongSlot::keepTail()
{
    if (!decoder_ || !toEnd_ || (!producing_ && !finished_) || (inputDone_ && !reopenEnd())) {
        return false;
    }
    const std::int64_t more = decoder_->length() - soundEnd_;
    soundEnd_ = decoder_->length();
    remaining_ += more;
    expected_ += static_cast<std::uint64_t>(more) * audio_format::kRate /
                 static_cast<std::uint64_t>(decoder_->sampleRate());
    mixer_.markExpectedEnd(index_, rangeStart_ + expected_);
    return true;
}

// The whole range has been decoded, perhaps written to its end: it goes on
// from there while the output is still far enough from that end that no
// block it is rendering can reach it. The decoder stands at the old end.
bool SongSlot::reopenEnd()
{
    if (finished_) {
        const std::uint64_t end = mixer_.endOf(index_);
        if (end == Mixer::kNoEnd || ring().readPosition() + kReopenMargin > end) {
            return false;
        }
        const std::uint32_t takes = mixer_.switchState().takes;
        mixer_.markEnd(index_, Mixer::kNoEnd);
        if (ring().readPosition() >= end || mixer_.switchState().takes != takes) {
            mixer_.markEnd(index_, end);  // this thread stalled, and the output got there
            return false;
        }
        finished_ = false;
        producing_ = true;
        // What the limiter held went out with the end; it starts afresh.
        stage_.start(stage_.gainDb(), stage_.limiting());
    }
    inputDone_ = false;
    reachedEnd_ = false;
    return true;
}

int SongSlot::rate() const
{
    return decoder_ ? decoder_->sampleRate() : audio_format::kRate;
}

void SongSlot::stopRange()
{
    ring().discardQueued();
    mixer_.markEnd(index_, Mixer::kNoEnd);
    mixer_.markExpectedEnd(index_, Mixer::kNoEnd);
    producing_ = false;
    finished_ = false;
    toEnd_ = false;
}

bool SongSlot::startRange(std::int64_t first, std::int64_t end)
{
    stopRange();
    rangeStart_ = ring().writePosition();
    expected_ = 0;
    if (!decoder_) {
        return false;
    }
    const std::int64_t length = this->length();
    first = std::clamp<std::int64_t>(first, 0, length);
    end = std::clamp<std::int64_t>(end, first, length);
    if (end <= first || !decoder_->seek(soundStart_ + first)) {
        return false;
    }
    converter_->clear();
    heldFrames_ = heldTaken_ = 0;
    first_ = soundStart_ + first;
    remaining_ = end - first;
    inputDone_ = false;
    reachedEnd_ = false;
    producing_ = true;
    toEnd_ = end == length;
    expected_ = static_cast<std::uint64_t>(remaining_) * audio_format::kRate /
                static_cast<std::uint64_t>(decoder_->sampleRate());
    mixer_.markExpectedEnd(index_, rangeStart_ + expected_);
    startGain();
    return true;
}

void SongSlot::startGain()
{
    measuring_ = false;
    if (!loudness_) {
        stage_.start(0.0, false);
        return;
    }
    const double gain = loudness::gainDbFor(loudness_->lufs);
    const bool partial = loudness_->source == SongLoudness::Source::Partial;
    stage_.start(gain, partial || loudness::needsLimiter(gain, loudness_->peakDb));
    if (partial) {
        meter_.reset();
        measuring_ = true;
        measurementDone_ = false;
    }
}

bool SongSlot::fill()
{
    bool wrote = false;
    while (producing_ && step()) {
        if (!wrote) {
            // An output waiting for frames takes the first while the rest
            // are decoded.
            mixer_.notifyProduced();
        }
        wrote = true;
    }
    return wrote;
}

// One step towards the ring; false when the ring is full or the range done.
bool SongSlot::step()
{
    PcmRing& out = ring();
    const std::size_t room = out.freeFrames();
    const std::size_t reserve = stage_.latency();
    if (room <= reserve) {
        return false;
    }
    const std::size_t n = std::min(room - reserve, kChunkFrames);
    const std::int16_t* frames = nullptr;
    if (const std::size_t got = takeConverted(n, &frames); got > 0) {
        measureAsItPlays(frames, got);
        out.write(levelled_.data(), stage_.process(frames, got, levelled_.data()));
        return true;
    }
    if (inputDone_) {
        finishRange();
        return false;
    }
    return decodeStep();
}

// Up to `frames` frames in the output format, decoded and not yet written;
// a song in that format already is not copied through the converter.
std::size_t SongSlot::takeConverted(std::size_t frames, const std::int16_t** out)
{
    if (asDecoded_) {
        const std::size_t n = std::min(frames, heldFrames_ - heldTaken_);
        *out = decoded_.data() + heldTaken_ * audio_format::kChannels;
        heldTaken_ += n;
        return n;
    }
    *out = converted_.data();
    return converter_->available() > 0 ? converter_->get(converted_.data(), frames) : 0;
}

bool SongSlot::decodeStep()
{
    const std::size_t chunk =
        decoder_->sampleRate() == audio_format::kRate ? kChunkFrames : kResampledChunkFrames;
    const auto want = static_cast<std::size_t>(std::min<std::int64_t>(remaining_, chunk));
    const std::size_t got = decoder_->read(decoded_.data(), want);
    if (asDecoded_) {
        heldFrames_ = got;
        heldTaken_ = 0;
    }
    if (got == 0 || (!asDecoded_ && !converter_->put(decoded_.data(), got))) {
        inputDone_ = true;  // the end, or a fault that ends the song early
        reachedEnd_ = got == 0;
    } else {
        remaining_ -= static_cast<std::int64_t>(got);
        inputDone_ = remaining_ <= 0;
        reachedEnd_ = inputDone_;
    }
    if (inputDone_ && !asDecoded_) {
        converter_->finish();
    }
    return true;
}

void SongSlot::finishRange()
{
    PcmRing& out = ring();
    out.write(levelled_.data(), stage_.finish(levelled_.data()));
    producing_ = false;
    finished_ = true;
    mixer_.markEnd(index_, out.writePosition());
    if (measuring_ && reachedEnd_ && first_ == 0) {
        measurementDone_ = true;
    }
}

void SongSlot::measureAsItPlays(const std::int16_t* pcm, std::size_t frames)
{
    if (!measuring_) {
        return;
    }
    const std::uint64_t before = meter_.frames();
    meter_.add(pcm, frames);
    // The start measured ahead stays the better guess until more than it is
    // heard.
    const double covered = static_cast<double>(measuredFrames_) / rate();
    if (before / kRefineEvery == meter_.frames() / kRefineEvery ||
        static_cast<double>(meter_.frames()) / audio_format::kRate <= covered) {
        return;
    }
    if (const auto lufs = meter_.integratedLufs()) {
        stage_.glideTo(loudness::gainDbFor(*lufs));
    }
}

std::optional<std::pair<LoudnessCache::Key, SongLoudness>> SongSlot::takeMeasurement()
{
    if (!measurementDone_) {
        return std::nullopt;
    }
    measurementDone_ = false;
    measuring_ = false;
    SongLoudness measured;
    measured.source = SongLoudness::Source::Measured;
    measured.lufs = meter_.integratedLufs().value_or(loudness::kTargetLufs);
    measured.peakDb = meter_.samplePeakDb();
    loudness_ = measured;  // a later play of it starts at the right gain
    if (!cacheKey_) {
        return std::nullopt;
    }
    return std::make_pair(*cacheKey_, measured);
}

#include "speech/TextSynthesis.h"

#include "audio/VoiceOutput.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {
constexpr std::size_t kSilenceBlock = 441;
// How far a cut for a pause may move to find a quiet sample (about 4 ms), so
// the added silence does not click.
constexpr std::size_t kCutSearch = 80;
}  // namespace

TextSynthesis::TextSynthesis(VoiceOutput& output, Params params)
    : output_(output), params_(std::move(params))
{
    if (params_.listener) {
        letters_ = params_.text.toStdU32String();
    }
}

bool TextSynthesis::onSynthBlock(const short* samples, int count, const espeak_EVENT* events)
{
    if (cancelled()) {
        return false;
    }
    const std::size_t total = count > 0 ? static_cast<std::size_t>(count) : 0;
    std::size_t cursor = 0;
    for (const espeak_EVENT* e = events; e != nullptr && e->type != espeakEVENT_LIST_TERMINATED;
         ++e) {
        if (e->type != espeakEVENT_WORD) {
            continue;
        }
        reportWord(e->text_position, e->length);
        if (firstWord_) {
            firstWord_ = false;
            continue;
        }
        if (params_.pauseFrames == 0) {
            continue;
        }
        // The event's time counts from the start of this text's synthesized
        // speech, not counting the silence put in here.
        const std::int64_t at =
            static_cast<std::int64_t>(e->audio_position) * params_.sampleRate / 1000 -
            static_cast<std::int64_t>(synthFrames_);
        const std::size_t wanted = static_cast<std::size_t>(std::clamp<std::int64_t>(
            at, static_cast<std::int64_t>(cursor), static_cast<std::int64_t>(total)));
        const std::size_t cut = quietCut(samples, cursor, wanted, total);
        if (!push(samples + cursor, cut - cursor) || !pushSilence(params_.pauseFrames)) {
            return false;
        }
        cursor = cut;
    }
    const bool ok = push(samples + cursor, total - cursor);
    synthFrames_ += total;
    return ok;
}

bool TextSynthesis::push(const short* samples, std::size_t count)
{
    if (count > 0) {
        output_.pushVoice(samples, count, params_.sampleRate, 1);
    }
    if (cancelled()) {
        // The stop may have flushed the output just before these samples got
        // in; nothing of a cancelled text may stay behind.
        output_.flushVoice();
        return false;
    }
    return true;
}

bool TextSynthesis::pushSilence(std::size_t frames)
{
    static const std::array<std::int16_t, kSilenceBlock> zeros{};
    while (frames > 0) {
        const std::size_t n = std::min(frames, kSilenceBlock);
        if (!push(zeros.data(), n)) {
            return false;
        }
        frames -= n;
    }
    return true;
}

std::size_t TextSynthesis::quietCut(const short* samples, std::size_t from, std::size_t at,
                                    std::size_t end) const
{
    if (samples == nullptr || at >= end) {
        return at;
    }
    const std::size_t lo = at > from + kCutSearch ? at - kCutSearch : from;
    const std::size_t hi = std::min(end, at + kCutSearch);
    std::size_t best = at;
    for (std::size_t i = lo; i < hi; ++i) {
        if (std::abs(samples[i]) < std::abs(samples[best])) {
            best = i;
        }
    }
    return best;
}

void TextSynthesis::reportWord(int position, int length) const
{
    if (!params_.listener || position < 1 || length < 0) {
        return;
    }
    const std::size_t start = static_cast<std::size_t>(position - 1);
    if (start >= letters_.size()) {
        return;
    }
    const std::u32string word = letters_.substr(start, static_cast<std::size_t>(length));
    params_.listener({params_.textNumber, QString::fromStdU32String(word)});
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/FliteLibrary.h"

extern "C" {
#include <flite/cst_cg.h>
#include <flite/flite.h>

cst_voice* register_cmu_us_slt(const char* voxdir);
cst_voice* register_cmu_us_awb(const char* voxdir);
cst_voice* register_cmu_us_rms(const char* voxdir);
cst_voice* register_cmu_us_kal16(const char* voxdir);
cst_voice* register_cmu_us_kal(const char* voxdir);
}

#include <cmath>

namespace {
// Voice engines number ages in years; these speakers are adults.
constexpr int kAdult = 30;
constexpr int kFemale = 1;
constexpr int kMale = 2;

const QString kStatistical = QStringLiteral("Statistical parametric, 16 kHz");

struct BuiltIn {
    cst_voice* (*registerVoice)(const char*);
    FliteVoice info;
};

// The natural paces were measured on a 55-word news text against espeak-ng's
// 165 words a minute.
std::vector<BuiltIn> builtInVoices()
{
    return {
        {&register_cmu_us_slt,
         {"cmu_us_slt", "slt", "en-us", kStatistical, kFemale, kAdult, 16000, 175.0}},
        {&register_cmu_us_awb,
         {"cmu_us_awb", "awb", "en-gb-scotland", kStatistical, kMale, kAdult, 16000, 170.0}},
        {&register_cmu_us_rms,
         {"cmu_us_rms", "rms", "en-us", kStatistical, kMale, kAdult, 16000, 154.0}},
        {&register_cmu_us_kal16,
         {"cmu_us_kal16", "kal", "en-us", QStringLiteral("Diphone, 16 kHz"), kMale, kAdult, 16000,
          162.0}},
        {&register_cmu_us_kal,
         {"cmu_us_kal", "kal", "en-us", QStringLiteral("Diphone, 8 kHz"), kMale, kAdult, 8000,
          162.0}},
    };
}

// One utterance on its way to the sink. Its words are found when the first
// samples come, for by then the utterance knows where every word starts.
struct Synthesis {
    SynthSink* sink = nullptr;
    bool wordsFound = false;
    std::vector<SynthWord> words;
    std::size_t nextWord = 0;
    std::vector<SynthWord> blockWords;
};

std::vector<SynthWord> findWords(const cst_utterance* constUtt, int sampleRate)
{
    std::vector<SynthWord> out;
    if (constUtt == nullptr) {
        return out;
    }
    // flite's accessors take no const; nothing here changes the utterance.
    cst_utterance* utt = const_cast<cst_utterance*>(constUtt);
    cst_relation* words = utt_relation(utt, "Word");
    for (const cst_item* w = words ? relation_head(words) : nullptr; w; w = item_next(w)) {
        // Tokens that are not said ("<", a lone quote) have no syllable.
        if (flite_path_to_item(w, "R:SylStructure.daughter1.daughter1.R:Segment") == nullptr) {
            continue;
        }
        const float start =
            flite_ffeature_float(w, "R:SylStructure.daughter1.daughter1.R:Segment.p.end");
        out.push_back({std::llround(double(start) * sampleRate),
                       QString::fromUtf8(flite_ffeature_string(w, "name"))});
    }
    return out;
}

int onStream(const cst_wave* w, int start, int size, int /*last*/, cst_audio_streaming_info* asi)
{
    auto* s = static_cast<Synthesis*>(asi->userdata);
    if (s == nullptr || w == nullptr) {
        return CST_AUDIO_STREAM_STOP;
    }
    if (!s->wordsFound) {
        s->words = findWords(asi->utt, w->sample_rate);
        s->wordsFound = true;
    }
    const std::int64_t end = std::int64_t(start) + std::max(size, 0);
    s->blockWords.clear();
    while (s->nextWord < s->words.size() && s->words[s->nextWord].frame < end) {
        s->blockWords.push_back(s->words[s->nextWord++]);
    }
    const std::size_t count = size > 0 && w->samples != nullptr ? std::size_t(size) : 0;
    const short* samples = count > 0 ? w->samples + start : nullptr;
    return s->sink->onSynthBlock(samples, count, s->blockWords) ? CST_AUDIO_STREAM_CONT
                                                                : CST_AUDIO_STREAM_STOP;
}

float voicePitch(const cst_voice* v, const char* feature, float cst_cg_db::*field, float fallback)
{
    const float set = flite_get_param_float(v->features, feature, -1.0f);
    if (set > 0) {
        return set;
    }
    const cst_val* db = flite_get_param_val(v->features, "cg_db", nullptr);
    return db != nullptr ? val_cg_db(db)->*field : fallback;
}
}  // namespace

FliteLibrary& FliteLibrary::instance()
{
    // Never destroyed: the voices are flite's own static objects.
    static FliteLibrary* library = new FliteLibrary();
    return *library;
}

FliteLibrary::FliteLibrary()
{
    const std::lock_guard<std::mutex> guard(mutex_);
    flite_init();
    for (const BuiltIn& b : builtInVoices()) {
        cst_voice* v = b.registerVoice(nullptr);
        if (v == nullptr) {
            continue;
        }
        Loaded loaded;
        loaded.voice = v;
        loaded.pitchMean = voicePitch(v, "int_f0_target_mean", &cst_cg_db::f0_mean, 100.0f);
        loaded.pitchDeviation = voicePitch(v, "int_f0_target_stddev", &cst_cg_db::f0_stddev, 15.0f);
        loaded.durationStretch = flite_get_param_float(v->features, "duration_stretch", 1.0f);
        cst_audio_streaming_info* asi = new_audio_streaming_info();
        asi->asc = &onStream;
        asi->min_buffsize = b.info.sampleRate / 50;
        // The voice owns it from here on.
        flite_feat_set(v->features, "streaming_info", audio_streaming_info_val(asi));
        voices_.push_back(b.info);
        loaded_.push_back(loaded);
    }
}

const FliteLibrary::Loaded* FliteLibrary::find(const QByteArray& voiceName) const
{
    for (std::size_t i = 0; i < voices_.size(); ++i) {
        if (voices_[i].name.toUtf8() == voiceName) {
            return &loaded_[i];
        }
    }
    return nullptr;
}

int FliteLibrary::sampleRate(const QByteArray& voiceName) const
{
    for (const FliteVoice& v : voices_) {
        if (v.name.toUtf8() == voiceName) {
            return v.sampleRate;
        }
    }
    return 0;
}

bool FliteLibrary::synthesize(const QByteArray& voiceName, const QString& text,
                              const Tuning& tuning, SynthSink& sink)
{
    const Loaded* loaded = find(voiceName);
    if (loaded == nullptr) {
        return false;
    }
    cst_voice* v = loaded->voice;
    flite_feat_set_float(v->features, "int_f0_target_mean",
                         float(loaded->pitchMean * tuning.pitchFactor));
    flite_feat_set_float(v->features, "int_f0_target_stddev",
                         float(loaded->pitchDeviation * tuning.rangeFactor));
    flite_feat_set_float(v->features, "duration_stretch",
                         float(loaded->durationStretch * tuning.durationStretch));
    const cst_val* info = flite_get_param_val(v->features, "streaming_info", nullptr);
    if (info == nullptr) {
        return false;
    }
    Synthesis synthesis;
    synthesis.sink = &sink;
    cst_audio_streaming_info* asi = val_audio_streaming_info(info);
    asi->userdata = &synthesis;
    const QByteArray utf8 = text.toUtf8();
    cst_utterance* utt = flite_synth_text(utf8.constData(), v);
    asi->userdata = nullptr;
    delete_utterance(utt);
    return true;
}

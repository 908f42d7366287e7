// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// The synthesizers the engine speaks with.
enum class VoiceFamily { EspeakNg, Flite };

// One voice or variant as espeak-ng lists it.
struct SynthVoice {
    QString name;
    QString language;    // first language of the voice ("en-us"); "variant" for variants
    QString identifier;  // file within the voice folder ("gmw/en-US", "!v/Annie")
    int gender = 0;      // synthesizer's numbering: 0 none, 1 male, 2 female
    int age = 0;
};

// One flite voice built into the program.
struct FliteVoice {
    QString name;     // flite's voice name ("cmu_us_slt")
    QString speaker;  // the speaker's short name ("slt")
    QString dialect;  // "en-us"
    QString style;
    int gender = 0;  // 1 female, 2 male
    int age = 0;
    int sampleRate = 16000;
    // Words a minute the voice speaks unstretched, measured on running text
    // so that every voice keeps the pace that espeak-ng has at the same speed.
    double wordsPerMinute = 165.0;
};

// One selectable engine: a voice, or a variant spoken by the main English voice.
struct VoiceEngineInfo {
    VoiceFamily family = VoiceFamily::EspeakNg;
    // Stays the same when other voices come or go: "flite:cmu_us_slt",
    // "espeak-ng:en-us", "espeak-ng:en-us+f2".
    QString identity;
    QString name;
    QString manufacturer;
    QString listEntry;
    QString speaker;
    QString style;
    QString dialect;
    int gender = 0;  // 1 female, 2 male, 0 neutral
    int age = 0;
    QByteArray synthName;           // what selects it on its synthesizer
    double wordsPerMinute = 165.0;  // flite: the voice's unstretched pace
};

// The engines in the order the program numbers them: flite's English voices
// (the most natural, so engine 1 is one of them), then espeak-ng's English
// voices (its main English voice first), then espeak-ng's variants, each on
// that main English voice, then espeak-ng's voices of other languages.
class VoiceCatalog {
public:
    static const QString kEspeakManufacturer;
    static const QString kFliteManufacturer;

    VoiceCatalog() = default;
    VoiceCatalog(const std::vector<SynthVoice>& voices, const std::vector<SynthVoice>& variants,
                 const std::vector<FliteVoice>& fliteVoices = {});

    int count() const { return static_cast<int>(engines_.size()); }
    // engine is 1-based; nullptr when out of range.
    const VoiceEngineInfo* engine(int engine) const;
    // The number of the engine with that identity; 0 when there is none.
    int engineForIdentity(const QString& identity) const;
    // Engine numbers saved before flite's voices were listed counted espeak-ng's
    // engines alone, in the same order as now. The identity of the engine such
    // a number named; empty when it named none.
    QString espeakOnlyIdentity(int oldNumber) const;
    // The number that engine has now; a number that named no engine then
    // names none now either.
    int engineFromEspeakOnlyNumber(int oldNumber) const;

private:
    std::vector<VoiceEngineInfo> engines_;
    int fliteCount_ = 0;
};

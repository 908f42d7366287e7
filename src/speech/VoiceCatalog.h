#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// One voice or variant as the synthesizer lists it.
struct SynthVoice {
    QString name;
    QString language;    // first language of the voice ("en-us"); "variant" for variants
    QString identifier;  // file within the voice folder ("gmw/en-US", "!v/Annie")
    int gender = 0;      // synthesizer's numbering: 0 none, 1 male, 2 female
    int age = 0;
};

// One selectable engine: a voice, or a variant spoken by the main English voice.
struct VoiceEngineInfo {
    QString name;
    QString listEntry;
    QString speaker;
    QString style;
    QString dialect;
    int gender = 0;  // 1 female, 2 male, 0 neutral
    int age = 0;
    QByteArray synthName;  // what selects it on the synthesizer
};

// The engines in the order the program numbers them: English voices first
// (the main English voice is engine 1), then the variants, each on the main
// English voice, then the voices of other languages.
class VoiceCatalog {
public:
    static const QString kManufacturer;

    VoiceCatalog() = default;
    VoiceCatalog(const std::vector<SynthVoice>& voices, const std::vector<SynthVoice>& variants);

    int count() const { return static_cast<int>(engines_.size()); }
    // engine is 1-based; nullptr when out of range.
    const VoiceEngineInfo* engine(int engine) const;

private:
    std::vector<VoiceEngineInfo> engines_;
};

#include "speech/VoiceCatalog.h"

#include <algorithm>

const QString VoiceCatalog::kManufacturer = QStringLiteral("eSpeak NG");

namespace {
const QString kMainEnglish = QStringLiteral("en-us");

int tableGender(int synthGender)
{
    switch (synthGender) {
        case 1:
            return 2;
        case 2:
            return 1;
        default:
            return 0;
    }
}

bool isEnglish(const SynthVoice& v)
{
    return v.language == QLatin1String("en") || v.language.startsWith(QLatin1String("en-"));
}

bool byName(const SynthVoice& a, const SynthVoice& b)
{
    const int c = a.name.compare(b.name, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a.language < b.language;
}

VoiceEngineInfo voiceEngine(const SynthVoice& v)
{
    VoiceEngineInfo e;
    e.name = v.name;
    e.listEntry = v.name + QStringLiteral(" (") + v.language + QLatin1Char(')');
    e.speaker = v.name;
    e.style = QStringLiteral("Standard");
    e.dialect = v.language;
    e.gender = tableGender(v.gender);
    e.age = v.age;
    e.synthName = v.identifier.toUtf8();
    return e;
}

VoiceEngineInfo variantEngine(const SynthVoice& base, const SynthVoice& variant)
{
    // Variant files live in "!v/"; the synthesizer wants "voice+file".
    QString file = variant.identifier;
    if (file.startsWith(QLatin1String("!v/"))) {
        file = file.mid(3);
    }
    VoiceEngineInfo e;
    e.name = variant.name;
    e.listEntry = variant.name + QStringLiteral(" (") + base.language + QLatin1Char(')');
    e.speaker = variant.name;
    e.style = QStringLiteral("Variant of ") + base.name;
    e.dialect = base.language;
    e.gender = tableGender(variant.gender);
    e.age = variant.age;
    e.synthName = (base.identifier + QLatin1Char('+') + file).toUtf8();
    return e;
}
}  // namespace

VoiceCatalog::VoiceCatalog(const std::vector<SynthVoice>& voices,
                           const std::vector<SynthVoice>& variants)
{
    std::vector<SynthVoice> english;
    std::vector<SynthVoice> others;
    for (const SynthVoice& v : voices) {
        (isEnglish(v) ? english : others).push_back(v);
    }
    std::sort(english.begin(), english.end(), [](const SynthVoice& a, const SynthVoice& b) {
        const bool aMain = a.language == kMainEnglish;
        const bool bMain = b.language == kMainEnglish;
        return aMain != bMain ? aMain : byName(a, b);
    });
    std::sort(others.begin(), others.end(), byName);
    std::vector<SynthVoice> sortedVariants = variants;
    std::sort(sortedVariants.begin(), sortedVariants.end(), byName);

    for (const SynthVoice& v : english) {
        engines_.push_back(voiceEngine(v));
    }
    if (!english.empty()) {
        for (const SynthVoice& variant : sortedVariants) {
            engines_.push_back(variantEngine(english.front(), variant));
        }
    }
    for (const SynthVoice& v : others) {
        engines_.push_back(voiceEngine(v));
    }
}

const VoiceEngineInfo* VoiceCatalog::engine(int engine) const
{
    if (engine < 1 || engine > count()) {
        return nullptr;
    }
    return &engines_[static_cast<std::size_t>(engine - 1)];
}

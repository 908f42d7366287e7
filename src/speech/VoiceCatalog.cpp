// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/VoiceCatalog.h"

#include <QHash>
#include <algorithm>

const QString VoiceCatalog::kEspeakManufacturer = QStringLiteral("eSpeak NG");
const QString VoiceCatalog::kFliteManufacturer = QStringLiteral("CMU Flite");

namespace {
const QString kMainEnglish = QStringLiteral("en-us");
const QString kEspeakPrefix = QStringLiteral("espeak-ng:");
const QString kFlitePrefix = QStringLiteral("flite:");

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

// A voice is known by its language; where two voices share one, by its file.
QString voiceKey(const SynthVoice& v, const QHash<QString, int>& languageUse)
{
    return languageUse.value(v.language) > 1 ? v.identifier : v.language;
}

VoiceEngineInfo voiceEngine(const SynthVoice& v, const QString& key)
{
    VoiceEngineInfo e;
    e.identity = kEspeakPrefix + key;
    e.name = v.name;
    e.manufacturer = VoiceCatalog::kEspeakManufacturer;
    e.listEntry = v.name + QStringLiteral(" (") + v.language + QLatin1Char(')');
    e.speaker = v.name;
    e.style = QStringLiteral("Standard");
    e.dialect = v.language;
    e.gender = tableGender(v.gender);
    e.age = v.age;
    e.synthName = v.identifier.toUtf8();
    return e;
}

VoiceEngineInfo variantEngine(const SynthVoice& base, const QString& baseKey,
                              const SynthVoice& variant)
{
    // Variant files live in "!v/"; the synthesizer wants "voice+file".
    QString file = variant.identifier;
    if (file.startsWith(QLatin1String("!v/"))) {
        file = file.mid(3);
    }
    VoiceEngineInfo e;
    e.identity = kEspeakPrefix + baseKey + QLatin1Char('+') + file;
    e.name = variant.name;
    e.manufacturer = VoiceCatalog::kEspeakManufacturer;
    e.listEntry = variant.name + QStringLiteral(" (") + base.language + QLatin1Char(')');
    e.speaker = variant.name;
    e.style = QStringLiteral("Variant of ") + base.name;
    e.dialect = base.language;
    e.gender = tableGender(variant.gender);
    e.age = variant.age;
    e.synthName = (base.identifier + QLatin1Char('+') + file).toUtf8();
    return e;
}

VoiceEngineInfo fliteEngine(const FliteVoice& v)
{
    VoiceEngineInfo e;
    e.family = VoiceFamily::Flite;
    e.identity = kFlitePrefix + v.name;
    e.name = v.name;
    e.manufacturer = VoiceCatalog::kFliteManufacturer;
    e.listEntry = v.name + QStringLiteral(" (") + v.dialect + QLatin1Char(')');
    e.speaker = v.speaker;
    e.style = v.style;
    e.dialect = v.dialect;
    e.gender = v.gender;
    e.age = v.age;
    e.synthName = v.name.toUtf8();
    e.wordsPerMinute = v.wordsPerMinute;
    return e;
}
}  // namespace

VoiceCatalog::VoiceCatalog(const std::vector<SynthVoice>& voices,
                           const std::vector<SynthVoice>& variants,
                           const std::vector<FliteVoice>& fliteVoices)
{
    for (const FliteVoice& v : fliteVoices) {
        engines_.push_back(fliteEngine(v));
    }
    fliteCount_ = count();

    QHash<QString, int> languageUse;
    std::vector<SynthVoice> english;
    std::vector<SynthVoice> others;
    for (const SynthVoice& v : voices) {
        ++languageUse[v.language];
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
        engines_.push_back(voiceEngine(v, voiceKey(v, languageUse)));
    }
    if (!english.empty()) {
        const QString baseKey = voiceKey(english.front(), languageUse);
        for (const SynthVoice& variant : sortedVariants) {
            engines_.push_back(variantEngine(english.front(), baseKey, variant));
        }
    }
    for (const SynthVoice& v : others) {
        engines_.push_back(voiceEngine(v, voiceKey(v, languageUse)));
    }
}

const VoiceEngineInfo* VoiceCatalog::engine(int engine) const
{
    if (engine < 1 || engine > count()) {
        return nullptr;
    }
    return &engines_[static_cast<std::size_t>(engine - 1)];
}

int VoiceCatalog::engineForIdentity(const QString& identity) const
{
    if (identity.isEmpty()) {
        return 0;
    }
    const auto found =
        std::find_if(engines_.begin(), engines_.end(),
                     [&](const VoiceEngineInfo& e) { return e.identity == identity; });
    return found == engines_.end() ? 0 : static_cast<int>(found - engines_.begin()) + 1;
}

QString VoiceCatalog::espeakOnlyIdentity(int oldNumber) const
{
    // espeak-ng's engines follow flite's, in their old order.
    const VoiceEngineInfo* info = engine(oldNumber < 1 ? 0 : oldNumber + fliteCount_);
    return info != nullptr && info->family == VoiceFamily::EspeakNg ? info->identity : QString();
}

int VoiceCatalog::engineFromEspeakOnlyNumber(int oldNumber) const
{
    const int now = engineForIdentity(espeakOnlyIdentity(oldNumber));
    if (now > 0) {
        return now;
    }
    // Past the end then, past the end now.
    return oldNumber < 1 ? oldNumber : std::max(oldNumber, count() + 1);
}

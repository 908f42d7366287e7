// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/VoiceSettings.h"

#include <algorithm>

QList<SymbolReading> VoiceSettings::defaultSymbols()
{
    // "$" and "#" are left to the voice: it already says "$5" as "five dollars".
    return {
        {QStringLiteral("%"), QStringLiteral("percent")},
        {QStringLiteral("&"), QStringLiteral("and")},
        {QStringLiteral("$"), QString()},
        {QStringLiteral("@"), QStringLiteral("at")},
        {QStringLiteral("#"), QString()},
        {QStringLiteral("+"), QStringLiteral("plus")},
        {QStringLiteral("e.g."), QStringLiteral("for example")},
        {QStringLiteral("i.e."), QStringLiteral("that is")},
        {QStringLiteral("etc."), QStringLiteral("et cetera")},
        {QStringLiteral("vs."), QStringLiteral("versus")},
    };
}

VoiceSettings VoiceSettings::normalized() const
{
    VoiceSettings out = *this;
    out.pitch = std::clamp(pitch, kMinPitch, kMaxPitch);
    out.pitchRange = std::clamp(pitchRange, kMinPitch, kMaxPitch);
    out.volume = std::clamp(volume, 0, kMaxVolume);
    out.wordGapMs = std::clamp(wordGapMs, 0, kMaxWordGapMs);
    out.symbols = defaultSymbols();
    for (SymbolReading& known : out.symbols) {
        const auto given =
            std::find_if(symbols.begin(), symbols.end(),
                         [&](const SymbolReading& s) { return s.symbol == known.symbol; });
        if (given != symbols.end()) {
            known.sayAs = given->sayAs.trimmed();
        }
    }
    out.lexicon.clear();
    for (const LexiconEntry& entry : lexicon) {
        const QString word = entry.word.trimmed();
        if (!word.isEmpty()) {
            out.lexicon.append({word, entry.sayAs.trimmed(), entry.phonemes});
        }
    }
    return out;
}

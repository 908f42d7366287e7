// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

// Which punctuation marks the voice names aloud.
enum class PunctuationMode { None, Some, All };
// How a capital letter is marked.
enum class CapitalsMode { Ignore, SayCapital, RaisePitch };
// Whether numbers are read as numbers ("forty two") or digit by digit.
enum class NumbersMode { Words, Digits };

// A user pronunciation: every whole-word occurrence of word (case ignored) is
// said as sayAs, which is plain spelling or, when phonemes is set, espeak-ng
// phoneme codes.
struct LexiconEntry {
    QString word;
    QString sayAs;
    bool phonemes = false;
    bool operator==(const LexiconEntry&) const = default;
};

// How one symbol or abbreviation is read; an empty sayAs leaves it to the voice.
struct SymbolReading {
    QString symbol;
    QString sayAs;
    bool operator==(const SymbolReading&) const = default;
};

// Everything the three voice dialogs change, kept in the settings' Voice
// section. Plain data; the engine copies it for each text it speaks.
struct VoiceSettings {
    static constexpr int kMinPitch = 0;
    static constexpr int kMaxPitch = 100;
    static constexpr int kMaxVolume = 200;
    static constexpr int kMaxWordGapMs = 1000;

    int pitch = 50;
    int pitchRange = 50;
    int volume = 100;
    // Extra silence between words, in milliseconds.
    int wordGapMs = 0;

    PunctuationMode punctuation = PunctuationMode::None;
    // The marks named when punctuation is Some.
    QString punctuationList = QStringLiteral(".,?!;:");
    CapitalsMode capitals = CapitalsMode::Ignore;
    NumbersMode numbers = NumbersMode::Words;
    QList<SymbolReading> symbols = defaultSymbols();

    QList<LexiconEntry> lexicon;

    bool operator==(const VoiceSettings&) const = default;

    // The symbols and abbreviations the translation knows, with their usual
    // readings.
    static QList<SymbolReading> defaultSymbols();
    // The same settings with every number brought into its range and the
    // symbol list made the known one (unknown symbols dropped, missing added).
    VoiceSettings normalized() const;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/VoiceCatalog.h"
#include "speech/VoiceSettings.h"

#include <QRegularExpression>
#include <QString>

// Turns a text into what the voice reads: characters the synthesizer must
// never see become spaces, phoneme brackets in the text are defused so that
// they are read rather than obeyed, the user's lexicon is applied, clock times
// are put as a person says them ("08:05 PM" -> "eight oh five P M"), and
// symbols, abbreviations and numbers follow the translation settings. For a
// synthesizer that cannot name punctuation or capitals itself (flite), the
// text names them; lexicon entries in espeak-ng phoneme codes apply to
// espeak-ng only, elsewhere the word is said as written. The caller's text is
// never changed. Any thread; one object per settings.
class SpokenTextTranslator {
public:
    explicit SpokenTextTranslator(const VoiceSettings& settings,
                                  VoiceFamily family = VoiceFamily::EspeakNg);

    QString translate(const QString& text) const;

    // Hours and minutes as words, the way a clock time is said.
    static QString clockTimeWords(int hour, int minute, const QString& designator);

private:
    QString applyLexicon(const QString& text) const;
    QString expandLexicon(const QString& text) const;
    QString sayClockTimes(const QString& text) const;
    QString saySymbols(const QString& text) const;
    QString namePunctuation(const QString& text) const;
    QString nameCapitals(const QString& text) const;

    VoiceSettings settings_;
    VoiceFamily family_;
    QRegularExpression lexiconPattern_;
    QRegularExpression clockPattern_;
};

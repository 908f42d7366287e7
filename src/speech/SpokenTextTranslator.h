#pragma once

#include "speech/VoiceSettings.h"

#include <QRegularExpression>
#include <QString>

// Turns a text into what the voice reads: characters the synthesizer must
// never see become spaces, phoneme brackets in the text are defused so that
// they are read rather than obeyed, the user's lexicon is applied, clock times
// are put as a person says them ("08:05 PM" -> "eight oh five P M"), and
// symbols, abbreviations and numbers follow the translation settings. The
// caller's text is never changed. Any thread; one object per settings.
class SpokenTextTranslator {
public:
    explicit SpokenTextTranslator(const VoiceSettings& settings);

    QString translate(const QString& text) const;

    // Hours and minutes as words, the way a clock time is said.
    static QString clockTimeWords(int hour, int minute, const QString& designator);

private:
    QString applyLexicon(const QString& text) const;
    QString expandLexicon(const QString& text) const;
    QString sayClockTimes(const QString& text) const;
    QString saySymbols(const QString& text) const;

    VoiceSettings settings_;
    QRegularExpression lexiconPattern_;
    QRegularExpression clockPattern_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "voicedialogs/VoiceDialog.h"

class QComboBox;
class QLineEdit;
class QTableWidget;

// How punctuation, capital letters, numbers and symbols are spoken.
class TranslationDialog : public VoiceDialog {
    Q_OBJECT
public:
    TranslationDialog(VoiceTuning& voice, const QString& title, QWidget* parent = nullptr);

protected:
    void edit(VoiceSettings& settings) const override;
    QString tryText() const override;

private:
    QComboBox* addCombo(const QString& name, const QStringList& items, int current);
    void fillSymbols(const QList<SymbolReading>& symbols);

    QComboBox* punctuation_ = nullptr;
    QLineEdit* punctuationList_ = nullptr;
    QComboBox* capitals_ = nullptr;
    QComboBox* numbers_ = nullptr;
    QTableWidget* symbols_ = nullptr;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "voicedialogs/VoiceDialog.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// The user's pronunciation list: words and how to say them, in plain
// spelling or as espeak-ng phoneme codes.
class LexiconDialog : public VoiceDialog {
    Q_OBJECT
public:
    LexiconDialog(VoiceTuning& voice, const QString& title, QWidget* parent = nullptr);

protected:
    void edit(VoiceSettings& settings) const override;
    QString tryText() const override;

private:
    // For screen readers; the boxes are named by their form labels.
    void nameControls();
    LexiconEntry typedEntry() const;
    void showEntries(const QList<LexiconEntry>& entries);
    void addEntry();
    void changeEntry();
    void removeEntry();
    void selectionChanged();
    void updateButtons();

    QList<LexiconEntry> entries_;
    QTreeWidget* list_ = nullptr;
    QLineEdit* word_ = nullptr;
    QLineEdit* sayAs_ = nullptr;
    QCheckBox* phonemes_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* change_ = nullptr;
    QPushButton* remove_ = nullptr;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/VoiceSettings.h"

#include <QDialog>

class QLayout;
class VoiceTuning;

// What the three voice dialogs share: every change takes effect on the voice
// at once (so "Try" says it the new way), OK keeps it in the settings, and
// Cancel or closing puts back what was in effect when the dialog opened.
class VoiceDialog : public QDialog {
    Q_OBJECT
public:
    void accept() override;
    void reject() override;

protected:
    VoiceDialog(VoiceTuning& voice, const QString& title, const QString& defaultTitle,
                QWidget* parent);

    // Puts the dialog's controls above the Try, OK and Cancel buttons.
    void setBody(QLayout* body);
    // Writes the controls' values into the settings.
    virtual void edit(VoiceSettings& settings) const = 0;
    // What "Try" says.
    virtual QString tryText() const = 0;
    // Applies the controls' values to the voice; connected to every control.
    void changed();

    const VoiceSettings& original() const { return original_; }

private:
    VoiceTuning& voice_;
    const VoiceSettings original_;
};

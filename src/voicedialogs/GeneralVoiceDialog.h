// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "voicedialogs/VoiceDialog.h"

class QFormLayout;
class QSlider;

// Pitch, pitch range, volume and the pause between words.
class GeneralVoiceDialog : public VoiceDialog {
    Q_OBJECT
public:
    GeneralVoiceDialog(VoiceTuning& voice, const QString& title, QWidget* parent = nullptr);

protected:
    void edit(VoiceSettings& settings) const override;
    QString tryText() const override;

private:
    QSlider* addSlider(QFormLayout* form, const QString& label, const QString& name, int maximum,
                       int step, int value, const QString& unit);
    void restoreDefaults();

    QSlider* pitch_ = nullptr;
    QSlider* pitchRange_ = nullptr;
    QSlider* volume_ = nullptr;
    QSlider* wordGap_ = nullptr;
};

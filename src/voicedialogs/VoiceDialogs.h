// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechDialogProvider.h"

// The program's voice dialogs: each opens over its owner, modal to it, and
// returns at once; the dialog deletes itself when closed.
class VoiceDialogs : public SpeechDialogProvider {
public:
    void showDialog(Dialog dialog, QWidget* owner, const QString& title,
                    VoiceTuning& voice) override;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "voicedialogs/VoiceDialogs.h"

#include "voicedialogs/GeneralVoiceDialog.h"
#include "voicedialogs/LexiconDialog.h"
#include "voicedialogs/TranslationDialog.h"

void VoiceDialogs::showDialog(Dialog dialog, QWidget* owner, const QString& title,
                              VoiceTuning& voice)
{
    QDialog* shown = nullptr;
    switch (dialog) {
        case Dialog::General:
            shown = new GeneralVoiceDialog(voice, title, owner);
            break;
        case Dialog::Lexicon:
            shown = new LexiconDialog(voice, title, owner);
            break;
        case Dialog::Translation:
            shown = new TranslationDialog(voice, title, owner);
            break;
    }
    shown->setAttribute(Qt::WA_DeleteOnClose);
    shown->open();
}

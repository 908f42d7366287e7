// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;
class VoiceTuning;

// Shows the voice dialogs. The engine has no widgets of its own; the program
// installs a provider, and without one the engine reports that it lacks the
// dialogs. GUI thread only.
class SpeechDialogProvider {
public:
    enum class Dialog { General, Lexicon, Translation };

    virtual ~SpeechDialogProvider() = default;
    // Opens the dialog over owner (may be null) with the given title (a
    // default one when empty); the voice outlives the dialog.
    virtual void showDialog(Dialog dialog, QWidget* owner, const QString& title,
                            VoiceTuning& voice) = 0;
};

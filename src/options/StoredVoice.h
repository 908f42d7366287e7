// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class RadioSettings;
class SpeechEngine;

// The voice the Options section keeps (EngineNum, its identity beside it and
// EngineSpeed), put on the voice at start, after the settings are loaded; the
// options window stores it (OpsActions::save). The engine is the one whose
// identity was stored, else the stored number. A number stored before voices
// had identities counted espeak-ng's voices alone: it is put in today's
// numbering and stored with its identity, once. A failing step is skipped.
// GUI thread only.
void UseStoredVoice(RadioSettings& settings, SpeechEngine& voice);

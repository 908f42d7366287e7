// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The three dialogs a voice engine may offer.
enum class EngineDialog { General, Lexicon, Translation };

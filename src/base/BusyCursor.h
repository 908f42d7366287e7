// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The screen-wide busy pointer on and off (no-ops without a GUI application).
void ShowBusyCursor();
void ShowNormalCursor();

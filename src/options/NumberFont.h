// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

// The old bitmap serif where it exists, another serif elsewhere: the font of
// the options window's numbers.
QFont numberFont();

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

// The program's icon: the installed theme icon when the desktop has one,
// else the copy built into the program (so a build tree shows it too).
class ApplicationIcon {
public:
    // The name of the installed icon, as the desktop entry names it.
    static constexpr const char* kThemeName = "tolvar-radio";

    static QIcon make();
};

#pragma once

#include <QIcon>

// The program's icon: the installed theme icon when the desktop has one,
// else the copy built into the program (so a build tree shows it too).
class ApplicationIcon {
public:
    static QIcon make();
};

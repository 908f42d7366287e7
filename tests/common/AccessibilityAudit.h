// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class QWidget;

// What a screen reader finds in a window, through Qt's accessibility
// interface: every control (a widget the user operates, or reads a value
// from), with the name and description it announces. A combo box's name is
// its caption (the label whose buddy it is), as Linux screen readers say it.
namespace accessibility_audit {

struct Control {
    QString objectName;
    QString role;
    QString name;
    QString description;
};

// The window's visible controls, children of other controls (a list's scroll
// bars, a combo box's line edit) left out.
std::vector<Control> controls(QWidget* window);

// One line per control without a name or a description, naming what lacks;
// empty when every control has both.
QStringList unnamed(const std::vector<Control>& controls);

// All of them, one per line: "objectName (role): name - description".
QString listing(const std::vector<Control>& controls);

// Shows and activates the window, puts the focus on `first` and presses Tab
// `presses` times: the object names of the widgets the focus visited, `first`
// included. Empty when the window cannot be activated.
QStringList tabWalk(QWidget* window, QWidget* first, int presses);

}  // namespace accessibility_audit

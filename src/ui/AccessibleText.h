// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <span>

class QWidget;

// What a screen reader says for one control of a window, found by its object
// name: the name it announces and a sentence on what the control does, and
// the caption that labels it, if any. Screen readers on Linux name a combo
// box by its caption, not by its name.
struct AccessibleText {
    const char* objectName;
    const char* name;
    const char* description;
    const char* caption = nullptr;  // object name of a QLabel
};

// Gives the window's controls their names, descriptions and captions. Returns
// the object names that no child of the window has, so a renamed control shows
// up in its window's test. GUI thread.
QStringList applyAccessibleTexts(QWidget* window, std::span<const AccessibleText> texts);

// Makes Tab visit the named children of the window in the given order (the
// order of the window's layout, where it differs from the order in which its
// controls were made). Returns the names no child has.
QStringList setTabOrderByName(QWidget* window, std::span<const char* const> objectNames);

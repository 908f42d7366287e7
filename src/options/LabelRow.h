// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <initializer_list>

class QLabel;
class QString;

// Keeps texts that read together on one line apart by a space of their own
// font, whatever that font is: a value after its caption, the words of a
// sentence around a number. GUI thread only.
class LabelRow {
public:
    // Moves the value right, keeping its right edge, when its caption runs
    // into it.
    static void keepGapAfter(const QLabel& caption, QLabel& value);
    // Sizes each label after the first to its text and places it a space
    // after the one before, on the first one's line and height.
    static void flow(std::initializer_list<QLabel*> labels);
    // Shows a value in the room its label has, a space short of its right
    // edge so it never touches what follows: whole when it fits, otherwise
    // cut with an ellipsis, the whole text then in its tooltip and what a
    // screen reader says.
    static void showWithin(QLabel& value, const QString& text);
    // The width of a space in the label's font.
    static int gap(const QLabel& label);
};

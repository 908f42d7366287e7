// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>
#include <QString>

// The options window's "Headlines from:" box: where the announcer fetches
// the headlines (the NewsHost setting), a host name or a feed's http(s)
// address. GUI thread only.
class NewsHostBox : public QLineEdit {
    Q_OBJECT
public:
    static const QString kCaption;
    // The message when Save meets a value that is neither.
    static const QString kRefusedTitle;
    static const QString kRefusedText;

    // Takes the place given, starting after its caption where a large font
    // makes the caption longer.
    NewsHostBox(const QWidget& caption, const QRect& place, QWidget* window);
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>
#include <QString>

// The options window's "Broadcast to:" box: the icecast:// address the
// station is sent to (empty: not broadcast). GUI thread only.
class BroadcastBox : public QLineEdit {
    Q_OBJECT
public:
    static const QString kCaption;
    // The message when Save meets an address it cannot use.
    static const QString kRefusedTitle;
    static QString refusedText(const QString& why);

    // Takes the place given, starting after its caption where a large font
    // makes the caption longer.
    BroadcastBox(const QWidget& caption, const QRect& place, QWidget* window);
};

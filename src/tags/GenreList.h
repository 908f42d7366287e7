// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The ID3v1 genres: a genre byte is the 0-based position of its name in the
// literal. Bytes 148 to 255 name no genre.
class GenreList {
public:
    static constexpr int kCount = 148;

    // All names, separated by "|", in genre-number order.
    static const QString& literal();
    // The names in genre-number order: entry k is genre k.
    static const QStringList& names();
    // The name of a genre byte; empty for bytes that name no genre.
    static QString name(int genre);
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <optional>

// The announcer's numbered phrases: intros 1000-1015, after-song comments
// 2000-2050. Texts are kept exactly as written, spaces included.
class PhraseTable {
public:
    // The program's own table, from its resources.
    PhraseTable();

    // Lines of the form: <id> "<text>"; blank lines and lines starting with
    // '#' are skipped. The text runs to the last double quote of the line.
    static PhraseTable fromText(const QString& text);

    std::optional<QString> text(int id) const;
    int size() const { return static_cast<int>(texts_.size()); }

private:
    struct Empty {};
    explicit PhraseTable(Empty) {}

    QHash<int, QString> texts_;
};

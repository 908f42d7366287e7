// SPDX-License-Identifier: GPL-3.0-or-later
#include "announcer/PhraseTable.h"

#include <QFile>
#include <QStringList>

// Global scope on purpose: the macro declares a function of the resource.
static void initPhraseResource()
{
    // The resource lives in a static library; without this the linker may
    // drop it.
    Q_INIT_RESOURCE(phrases);
}

PhraseTable::PhraseTable()
{
    initPhraseResource();
    QFile file(QStringLiteral(":/phrases/phrases.txt"));
    if (file.open(QIODevice::ReadOnly)) {
        texts_ = fromText(QString::fromUtf8(file.readAll())).texts_;
    }
}

PhraseTable PhraseTable::fromText(const QString& text)
{
    PhraseTable table{Empty{}};
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        const qsizetype open = line.indexOf(QLatin1Char('"'));
        const qsizetype close = line.lastIndexOf(QLatin1Char('"'));
        if (open < 0 || close <= open) {
            continue;
        }
        bool ok = false;
        const int id = line.left(open).trimmed().toInt(&ok);
        if (ok) {
            table.texts_.insert(id, line.mid(open + 1, close - open - 1));
        }
    }
    return table;
}

std::optional<QString> PhraseTable::text(int id) const
{
    const auto found = texts_.constFind(id);
    if (found == texts_.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// HTML's named character references ("&eacute;", "&rarr;", ...), as the
// HTML5 parser's own table has them. Any thread.
class HtmlReferences {
public:
    // Of each name (letters and digits, without "&" and ";"), the text that
    // "&name;" stands for in HTML. A name HTML does not know is left out,
    // and so is one it knows only as the start of a longer text ("&notit;"
    // is "&not;" followed by "it;").
    static QHash<QString, QString> resolve(const QStringList& names);

    // Whether the name can be one: an ASCII letter, then ASCII letters and
    // digits, no longer than HTML's longest name.
    static bool isCandidate(QStringView name);
};

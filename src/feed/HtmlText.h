// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

// Turns the HTML that feeds put into titles into text to speak, read as a
// browser reads it (an HTML5 parser with the whole table of named
// references). Any thread.
class HtmlText {
public:
    // Markup beyond this many characters, or from its kMaxTags-th tag on, is
    // cut first: a headline is cut near 300 characters anyway, and the HTML
    // parser's time grows with the square of the nesting.
    static constexpr qsizetype kMaxMarkup = 16 * 1024;
    static constexpr qsizetype kMaxTags = 256;

    // The text a reader sees: markup gone, references decoded (an unknown
    // one stays as written), nothing of scripts, styles or attributes, block
    // elements parting words, white space runs made one space, ends trimmed.
    static QString toPlainText(QStringView html);
};

#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// Turns the escaped HTML that feeds put into titles into text to speak.
class HtmlText {
public:
    // Markup removed, character references decoded, white space runs made
    // one space and the ends trimmed. An unknown reference stays as written.
    static QString toPlainText(QStringView html);

    // The character a named reference ("amp", "eacute", ...) stands for;
    // the empty text when the name is unknown.
    static QString namedEntity(QStringView name);

    // The text of "&name;" or "&#NN;" / "&#xHH;" given without its "&" and
    // ";"; no value when it is no known reference.
    static std::optional<QString> reference(QStringView body);
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QValidator>

class QLineEdit;

// A length limit for typing and pasting only: unlike QLineEdit::maxLength it
// lets the program put a longer text into the box (an untagged file's path in
// the Song box), which the user may then shorten but not lengthen.
class TypingLimitValidator : public QValidator {
    Q_OBJECT
public:
    // Installs itself on the box.
    TypingLimitValidator(int limit, QLineEdit* edit);

    State validate(QString& input, int& pos) const override;

    // Sets the box's text whatever its length.
    void setText(const QString& text);

    int limit() const { return limit_; }

private:
    int limit_;
    QLineEdit* edit_;
    // The length of the box's text before the edit being validated.
    qsizetype committedLength_ = 0;
};

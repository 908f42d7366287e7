// SPDX-License-Identifier: GPL-3.0-or-later
#include "tageditor/TypingLimitValidator.h"

#include <QLineEdit>

TypingLimitValidator::TypingLimitValidator(int limit, QLineEdit* edit)
    : QValidator(edit), limit_(limit), edit_(edit), committedLength_(edit->text().size())
{
    connect(edit, &QLineEdit::textChanged, this,
            [this](const QString& text) { committedLength_ = text.size(); });
    edit->setValidator(this);
}

QValidator::State TypingLimitValidator::validate(QString& input, int& /*pos*/) const
{
    if (input.size() <= limit_) {
        return Acceptable;
    }
    return input.size() < committedLength_ ? Intermediate : Invalid;
}

void TypingLimitValidator::setText(const QString& text)
{
    // A box refuses later edits only after a text it took as valid.
    edit_->setValidator(nullptr);
    edit_->setText(text);
    edit_->setValidator(this);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlistwindow/MessageBoxPrompter.h"

#include "ui/CentredMessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon iconFor(PromptIcon icon)
{
    switch (icon) {
        case PromptIcon::Stop:
            return QMessageBox::Critical;
        case PromptIcon::Information:
            return QMessageBox::Information;
        case PromptIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons buttonsFor(PromptButtons buttons)
{
    switch (buttons) {
        case PromptButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case PromptButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case PromptButtons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

PromptAnswer answerFor(int button)
{
    switch (button) {
        case QMessageBox::Ok:
            return PromptAnswer::Ok;
        case QMessageBox::Yes:
            return PromptAnswer::Yes;
        case QMessageBox::No:
            return PromptAnswer::No;
        default:
            return PromptAnswer::Cancel;
    }
}

}  // namespace

PromptAnswer MessageBoxPrompter::ask(const Prompt& prompt)
{
    if (prompt.beep) {
        QApplication::beep();
    }
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr) {
        owner = QApplication::activeWindow();
    }
    CentredMessageBox box(iconFor(prompt.icon), prompt.title, prompt.text,
                          buttonsFor(prompt.buttons), owner);
    box.setObjectName(QStringLiteral("PromptBox"));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.show();
    box.raise();
    box.activateWindow();
    return answerFor(box.exec());
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlistwindow/MessageBoxPrompter.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace {

struct SeenBox {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Answers the next message box by pressing one of its buttons, once it shows.
void answerNextBox(QMessageBox::StandardButton press, SeenBox& seen)
{
    QTimer::singleShot(0, [press, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            answerNextBox(press, seen);
            return;
        }
        seen = {box->text(), box->windowTitle(), box->icon(), box->standardButtons()};
        box->button(press)->click();
    });
}

}  // namespace

TEST(MessageBoxPrompter, ShowsTheMessageAndReturnsTheButtonPressed)
{
    MessageBoxPrompter prompter;
    SeenBox seen;
    answerNextBox(QMessageBox::No, seen);
    const PromptAnswer answer = prompter.ask({QStringLiteral("Overwrite existing file rock?"),
                                              QStringLiteral("File already exists!"),
                                              PromptButtons::YesNo, PromptIcon::Stop, false});
    EXPECT_EQ(answer, PromptAnswer::No);
    EXPECT_EQ(seen.text, QStringLiteral("Overwrite existing file rock?"));
    EXPECT_EQ(seen.title, QStringLiteral("File already exists!"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);

    answerNextBox(QMessageBox::Cancel, seen);
    EXPECT_EQ(prompter.ask({QStringLiteral("Remove highlighted file from playlist?"),
                            QStringLiteral("Remove Song?"), PromptButtons::OkCancel,
                            PromptIcon::Stop, false}),
              PromptAnswer::Cancel);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok | QMessageBox::Cancel);

    answerNextBox(QMessageBox::Ok, seen);
    EXPECT_EQ(prompter.ask({QStringLiteral("None found."), QStringLiteral("None found"),
                            PromptButtons::Ok, PromptIcon::Information, true}),
              PromptAnswer::Ok);
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AccessibleText.h"

#include <QLabel>
#include <QWidget>

QStringList applyAccessibleTexts(QWidget* window, std::span<const AccessibleText> texts)
{
    QStringList missing;
    for (const AccessibleText& text : texts) {
        const QString objectName = QString::fromLatin1(text.objectName);
        auto* control = window->findChild<QWidget*>(objectName);
        if (control == nullptr) {
            missing.append(objectName);
            continue;
        }
        control->setAccessibleName(QString::fromUtf8(text.name));
        control->setAccessibleDescription(QString::fromUtf8(text.description));
        if (text.caption == nullptr) {
            continue;
        }
        const QString captionName = QString::fromLatin1(text.caption);
        if (auto* caption = window->findChild<QLabel*>(captionName)) {
            caption->setBuddy(control);
        } else {
            missing.append(captionName);
        }
    }
    return missing;
}

QStringList setTabOrderByName(QWidget* window, std::span<const char* const> objectNames)
{
    QStringList missing;
    QWidget* previous = nullptr;
    for (const char* name : objectNames) {
        const QString objectName = QString::fromLatin1(name);
        auto* control = window->findChild<QWidget*>(objectName);
        if (control == nullptr) {
            missing.append(objectName);
            continue;
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, control);
        }
        previous = control;
    }
    return missing;
}

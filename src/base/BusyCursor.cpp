// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

// The pointer is set on the application, so it shows over every window.
void ShowBusyCursor()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
}

void ShowNormalCursor()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        while (QGuiApplication::overrideCursor()) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
}

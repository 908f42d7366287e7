// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/AccessibilityAudit.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMetaEnum>
#include <QTest>
#include <QWidget>

namespace accessibility_audit {
namespace {

bool isControl(const QWidget* widget)
{
    return widget->focusPolicy() != Qt::NoFocus || qobject_cast<const QAbstractButton*>(widget) ||
           qobject_cast<const QAbstractSlider*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QComboBox*>(widget) || qobject_cast<const QLineEdit*>(widget) ||
           qobject_cast<const QAbstractItemView*>(widget) || widget->inherits("Gauge") ||
           widget->inherits("ClickArea");
}

QString captionOf(QAccessibleInterface* face)
{
    QStringList captions;
    for (const auto& [other, relation] : face->relations(QAccessible::Label)) {
        if (other != nullptr) {
            captions << other->text(QAccessible::Name);
        }
    }
    return captions.join(QLatin1Char(' '));
}

void collect(QWidget* window, QWidget* parent, std::vector<Control>& out)
{
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr || widget->isWindow() || !widget->isVisibleTo(window)) {
            continue;
        }
        if (!isControl(widget)) {
            collect(window, widget, out);
            continue;
        }
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        Control control{widget->objectName(), QString(), QString(), QString()};
        if (face != nullptr) {
            control.role = QString::fromLatin1(
                QMetaEnum::fromType<QAccessible::Role>().valueToKey(face->role()));
            control.name = face->text(QAccessible::Name);
            control.description = face->text(QAccessible::Description);
            if (face->role() == QAccessible::ComboBox) {
                // Its "name" is the value shown; screen readers announce the
                // caption that labels it.
                control.name = captionOf(face);
            }
        }
        out.push_back(control);
    }
}

}  // namespace

std::vector<Control> controls(QWidget* window)
{
    std::vector<Control> out;
    collect(window, window, out);
    return out;
}

QStringList unnamed(const std::vector<Control>& controls)
{
    QStringList out;
    for (const Control& c : controls) {
        if (c.name.trimmed().isEmpty()) {
            out << QStringLiteral("%1 (%2) has no name").arg(c.objectName, c.role);
        }
        if (c.description.trimmed().isEmpty()) {
            out << QStringLiteral("%1 (%2) has no description").arg(c.objectName, c.role);
        }
    }
    return out;
}

QString listing(const std::vector<Control>& controls)
{
    QStringList lines;
    for (const Control& c : controls) {
        lines
            << QStringLiteral("%1 (%2): %3 - %4").arg(c.objectName, c.role, c.name, c.description);
    }
    return lines.join(QLatin1Char('\n'));
}

QStringList tabWalk(QWidget* window, QWidget* first, int presses)
{
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        return {};
    }
    first->setFocus(Qt::TabFocusReason);
    QStringList walked;
    for (int i = 0; i <= presses; ++i) {
        QWidget* focused = QApplication::focusWidget();
        walked << (focused != nullptr ? focused->objectName() : QStringLiteral("(none)"));
        if (i < presses && focused != nullptr) {
            QTest::keyClick(focused, Qt::Key_Tab);
        }
    }
    return walked;
}

}  // namespace accessibility_audit

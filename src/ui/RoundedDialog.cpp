// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/RoundedDialog.h"

#include "ui/PulsingLight.h"
#include "ui/TwipsScale.h"
#include "ui/WindowDrag.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainterPath>
#include <QRegion>

namespace {

constexpr int kFadesWidthTwips = 255;
constexpr int kFadesHeightTwips = 45;

}  // namespace

RoundedDialog::RoundedDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      fades_(new PulsingLight(this)),
      drag_(new WindowDrag(this))
{
}

RoundedDialog::~RoundedDialog() = default;

QRegion RoundedDialog::roundedOutline(const QSize& size)
{
    if (size.isEmpty()) {
        return {};
    }
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), kCornerEllipse / 2.0,
                        kCornerEllipse / 2.0);
    return QRegion(path.toFillPolygon().toPolygon());
}

QRect RoundedDialog::twips(int left, int top, int width, int height) const
{
    return TwipsScale::forWidget(this).rect(left, top, width, height);
}

void RoundedDialog::setSizeTwips(int width, int height)
{
    resize(TwipsScale::forWidget(this).size(width, height));
}

void RoundedDialog::placeFades(int left, int top)
{
    fades_->setGeometry(twips(left, top, kFadesWidthTwips, kFadesHeightTwips));
    fades_->raise();
}

void RoundedDialog::addDragSurface(QWidget* surface)
{
    drag_->addSurface(surface);
}

void RoundedDialog::mousePressEvent(QMouseEvent* event)
{
    drag_->start(event->globalPosition());
    event->accept();
}

void RoundedDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    applyOutline();
}

void RoundedDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (mask().isEmpty()) {
        applyOutline();
    }
}

void RoundedDialog::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    if (event->isAccepted()) {
        clearMask();
    }
}

void RoundedDialog::applyOutline()
{
    setMask(roundedOutline(size()));
}

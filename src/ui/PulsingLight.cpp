// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PulsingLight.h"

#include <QLabel>
#include <QTimer>

namespace {

constexpr std::array<QRgb, PulsingLight::kLabelCount> kColours = {
    qRgb(0x40, 0, 0), qRgb(0x80, 0, 0),       qRgb(0xC0, 0, 0),
    qRgb(0xFF, 0, 0), qRgb(0xFF, 0x80, 0x80), qRgb(0xFF, 0xC0, 0xC0),
};

}  // namespace

PulsingLight::PulsingLight(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FadesLight"));
    for (int i = 0; i < kLabelCount; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Fades_%1").arg(i));
        label->setAutoFillBackground(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, colour(i));
        label->setPalette(palette);
        labels_[static_cast<std::size_t>(i)] = label;
    }
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(kIntervalMs);
    connect(timer_, &QTimer::timeout, this, &PulsingLight::tick);
    timer_->start();
}

QColor PulsingLight::colour(int index)
{
    if (index < 0 || index >= kLabelCount) {
        return {};
    }
    return QColor::fromRgb(kColours[static_cast<std::size_t>(index)]);
}

QLabel* PulsingLight::label(int index) const
{
    if (index < 0 || index >= kLabelCount) {
        return nullptr;
    }
    return labels_[static_cast<std::size_t>(index)];
}

void PulsingLight::tick()
{
    for (QLabel* label : labels_) {
        label->lower();
    }
    ++step_;
    if (step_ < 6) {
        ++front_;
        if (front_ > 6) {
            front_ = 0;
        }
    } else {
        --front_;
        if (step_ > 11) {
            step_ = 0;
        }
        if (front_ < 0) {
            front_ = 0;
        }
    }
    if (QLabel* front = label(front_)) {
        front->raise();
    }
}

void PulsingLight::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    for (QLabel* label : labels_) {
        label->setGeometry(rect());
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

class QLabel;
class QTimer;

// The small pulsing red light of the secondary windows: six labels stacked
// on one spot ("Fades_0" to "Fades_5", darkest first), one of which is
// brought to the front on every tick of the 90 ms timer "Timer1". From
// creation on the front label runs 1, 2, 3, 4, 5, 4, 3, 2, 1, 0, 0, 0 and
// repeats. The timer runs for as long as the light exists.
class PulsingLight : public QWidget {
    Q_OBJECT
public:
    static constexpr int kLabelCount = 6;
    static constexpr int kIntervalMs = 90;

    explicit PulsingLight(QWidget* parent = nullptr);

    // One step of the light; the timer calls it.
    void tick();

    int frontIndex() const { return front_; }
    QLabel* label(int index) const;
    QTimer* timer() const { return timer_; }

    // The label colours, darkest first.
    static QColor colour(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::array<QLabel*, kLabelCount> labels_{};
    QTimer* timer_ = nullptr;
    std::int16_t step_ = 0;
    std::int16_t front_ = 0;
};

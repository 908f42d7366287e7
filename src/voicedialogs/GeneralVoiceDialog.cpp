// SPDX-License-Identifier: GPL-3.0-or-later
#include "voicedialogs/GeneralVoiceDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

GeneralVoiceDialog::GeneralVoiceDialog(VoiceTuning& voice, const QString& title, QWidget* parent)
    : VoiceDialog(voice, title, tr("Voice"), parent)
{
    const VoiceSettings& s = original();
    auto* form = new QFormLayout;
    pitch_ = addSlider(form, tr("Pitch"), QStringLiteral("pitchSlider"), VoiceSettings::kMaxPitch,
                       1, s.pitch, QString());
    pitchRange_ = addSlider(form, tr("Pitch range"), QStringLiteral("pitchRangeSlider"),
                            VoiceSettings::kMaxPitch, 1, s.pitchRange, QString());
    volume_ = addSlider(form, tr("Volume"), QStringLiteral("volumeSlider"),
                        VoiceSettings::kMaxVolume, 1, s.volume, QStringLiteral(" %"));
    wordGap_ = addSlider(form, tr("Pause between words"), QStringLiteral("wordGapSlider"),
                         VoiceSettings::kMaxWordGapMs, 10, s.wordGapMs, QStringLiteral(" ms"));
    auto* defaults = new QPushButton(tr("Defaults"), this);
    defaults->setObjectName(QStringLiteral("defaultsButton"));
    defaults->setAccessibleDescription(tr("Sets the voice's default pitch, volume and pauses."));
    connect(defaults, &QPushButton::clicked, this, &GeneralVoiceDialog::restoreDefaults);
    form->addRow(QString(), defaults);
    setBody(form);
}

QSlider* GeneralVoiceDialog::addSlider(QFormLayout* form, const QString& label, const QString& name,
                                       int maximum, int step, int value, const QString& unit)
{
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(name);
    slider->setRange(0, maximum);
    slider->setSingleStep(step);
    slider->setPageStep(step * 10);
    slider->setValue(value);
    slider->setAccessibleName(label);
    slider->setAccessibleDescription(tr("%1 of the voice.").arg(label));
    auto* shown = new QLabel(QString::number(value) + unit, this);
    shown->setMinimumWidth(shown->fontMetrics().horizontalAdvance(QStringLiteral("0000 ms")));
    connect(slider, &QSlider::valueChanged, this, [this, shown, unit](int v) {
        shown->setText(QString::number(v) + unit);
        changed();
    });
    auto* row = new QHBoxLayout;
    row->addWidget(slider, 1);
    row->addWidget(shown);
    form->addRow(label, row);
    return slider;
}

void GeneralVoiceDialog::restoreDefaults()
{
    const VoiceSettings defaults;
    pitch_->setValue(defaults.pitch);
    pitchRange_->setValue(defaults.pitchRange);
    volume_->setValue(defaults.volume);
    wordGap_->setValue(defaults.wordGapMs);
}

void GeneralVoiceDialog::edit(VoiceSettings& settings) const
{
    settings.pitch = pitch_->value();
    settings.pitchRange = pitchRange_->value();
    settings.volume = volume_->value();
    settings.wordGapMs = wordGap_->value();
}

QString GeneralVoiceDialog::tryText() const
{
    return tr("This is how I sound now. Good evening, and welcome to the radio.");
}

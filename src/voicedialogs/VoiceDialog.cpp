// SPDX-License-Identifier: GPL-3.0-or-later
#include "voicedialogs/VoiceDialog.h"

#include "speech/VoiceTuning.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

VoiceDialog::VoiceDialog(VoiceTuning& voice, const QString& title, const QString& defaultTitle,
                         QWidget* parent)
    : QDialog(parent), voice_(voice), original_(voice.voiceSettings())
{
    setWindowTitle(title.isEmpty() ? defaultTitle : title);
    setMinimumWidth(420);
}

void VoiceDialog::setBody(QLayout* body)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    QPushButton* tryButton = buttons->addButton(tr("Try"), QDialogButtonBox::ActionRole);
    tryButton->setObjectName(QStringLiteral("tryButton"));
    tryButton->setAccessibleDescription(tr("Speaks a sample with the voice as set here."));
    buttons->button(QDialogButtonBox::Ok)
        ->setAccessibleDescription(tr("Keeps the voice as set here."));
    buttons->button(QDialogButtonBox::Cancel)
        ->setAccessibleDescription(tr("Puts the voice back as it was."));
    connect(tryButton, &QPushButton::clicked, this, [this] { voice_.tryVoice(tryText()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &VoiceDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &VoiceDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(buttons);
}

void VoiceDialog::changed()
{
    VoiceSettings settings = voice_.voiceSettings();
    edit(settings);
    voice_.applyVoiceSettings(settings);
}

void VoiceDialog::accept()
{
    changed();
    voice_.saveVoiceSettings();
    QDialog::accept();
}

void VoiceDialog::reject()
{
    voice_.applyVoiceSettings(original_);
    QDialog::reject();
}

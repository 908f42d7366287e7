// SPDX-License-Identifier: GPL-3.0-or-later
#include "voicedialogs/TranslationDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

TranslationDialog::TranslationDialog(VoiceTuning& voice, const QString& title, QWidget* parent)
    : VoiceDialog(voice, title, tr("Translation"), parent)
{
    const VoiceSettings& s = original();
    punctuation_ = addCombo(QStringLiteral("punctuationCombo"),
                            {tr("Not named"), tr("Name these marks:"), tr("Name every mark")},
                            static_cast<int>(s.punctuation));
    punctuationList_ = new QLineEdit(s.punctuationList, this);
    punctuationList_->setObjectName(QStringLiteral("punctuationListEdit"));
    capitals_ = addCombo(QStringLiteral("capitalsCombo"),
                         {tr("Not marked"), tr("Say \"capital\""), tr("Raise the pitch")},
                         static_cast<int>(s.capitals));
    numbers_ = addCombo(QStringLiteral("numbersCombo"), {tr("As numbers"), tr("Digit by digit")},
                        static_cast<int>(s.numbers));

    symbols_ = new QTableWidget(0, 2, this);
    symbols_->setObjectName(QStringLiteral("symbolsTable"));
    symbols_->setHorizontalHeaderLabels({tr("Symbol"), tr("Spoken as")});
    symbols_->horizontalHeaderItem(1)->setToolTip(
        tr("Left empty, the voice reads it its own way."));
    symbols_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    symbols_->horizontalHeader()->setStretchLastSection(true);
    symbols_->verticalHeader()->hide();
    fillSymbols(s.symbols);

    const auto enableList = [this] {
        punctuationList_->setEnabled(punctuation_->currentIndex() ==
                                     static_cast<int>(PunctuationMode::Some));
    };
    enableList();
    connect(punctuation_, &QComboBox::currentIndexChanged, this, enableList);
    connect(punctuationList_, &QLineEdit::editingFinished, this, &TranslationDialog::changed);
    connect(symbols_, &QTableWidget::itemChanged, this, &TranslationDialog::changed);

    // For screen readers; the lists are named by their form labels.
    punctuation_->setAccessibleDescription(tr("Whether the voice names punctuation marks."));
    punctuationList_->setAccessibleName(tr("Marks to name"));
    punctuationList_->setAccessibleDescription(tr("The punctuation marks the voice names."));
    capitals_->setAccessibleDescription(tr("How the voice marks capital letters."));
    numbers_->setAccessibleDescription(tr("How the voice reads numbers."));
    symbols_->setAccessibleName(tr("Symbols"));
    symbols_->setAccessibleDescription(tr("Symbols and how the voice says them."));

    auto* form = new QFormLayout;
    form->addRow(tr("Punctuation"), punctuation_);
    form->addRow(QString(), punctuationList_);
    form->addRow(tr("Capital letters"), capitals_);
    form->addRow(tr("Numbers"), numbers_);
    auto* body = new QVBoxLayout;
    body->addLayout(form);
    body->addWidget(symbols_);
    setBody(body);
}

QComboBox* TranslationDialog::addCombo(const QString& name, const QStringList& items, int current)
{
    auto* combo = new QComboBox(this);
    combo->setObjectName(name);
    combo->addItems(items);
    combo->setCurrentIndex(current);
    connect(combo, &QComboBox::currentIndexChanged, this, &TranslationDialog::changed);
    return combo;
}

void TranslationDialog::fillSymbols(const QList<SymbolReading>& symbols)
{
    symbols_->setRowCount(static_cast<int>(symbols.size()));
    for (int row = 0; row < symbols.size(); ++row) {
        auto* symbol = new QTableWidgetItem(symbols[row].symbol);
        symbol->setFlags(symbol->flags() & ~Qt::ItemIsEditable);
        symbols_->setItem(row, 0, symbol);
        symbols_->setItem(row, 1, new QTableWidgetItem(symbols[row].sayAs));
    }
}

void TranslationDialog::edit(VoiceSettings& settings) const
{
    settings.punctuation = static_cast<PunctuationMode>(punctuation_->currentIndex());
    settings.punctuationList = punctuationList_->text();
    settings.capitals = static_cast<CapitalsMode>(capitals_->currentIndex());
    settings.numbers = static_cast<NumbersMode>(numbers_->currentIndex());
    settings.symbols.clear();
    for (int row = 0; row < symbols_->rowCount(); ++row) {
        const QTableWidgetItem* symbol = symbols_->item(row, 0);
        const QTableWidgetItem* sayAs = symbols_->item(row, 1);
        if (symbol != nullptr) {
            settings.symbols.append({symbol->text(), sayAs ? sayAs->text() : QString()});
        }
    }
}

QString TranslationDialog::tryText() const
{
    return tr(
        "At 08:05 PM, Smith & Jones said: 50% of 1234 listeners, e.g. Ann, like "
        "the NEWS!");
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "voicedialogs/LexiconDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

LexiconDialog::LexiconDialog(VoiceTuning& voice, const QString& title, QWidget* parent)
    : VoiceDialog(voice, title, tr("Lexicon"), parent), entries_(original().lexicon)
{
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("lexiconList"));
    list_->setHeaderLabels({tr("Word"), tr("Say as"), tr("Phonemes")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->header()->setSectionResizeMode(QHeaderView::Stretch);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &LexiconDialog::selectionChanged);

    word_ = new QLineEdit(this);
    word_->setObjectName(QStringLiteral("wordEdit"));
    sayAs_ = new QLineEdit(this);
    sayAs_->setObjectName(QStringLiteral("sayAsEdit"));
    phonemes_ = new QCheckBox(tr("espeak-ng phoneme codes"), this);
    phonemes_->setObjectName(QStringLiteral("phonemesCheck"));
    connect(word_, &QLineEdit::textChanged, this, &LexiconDialog::updateButtons);

    add_ = new QPushButton(tr("Add"), this);
    add_->setObjectName(QStringLiteral("addButton"));
    change_ = new QPushButton(tr("Change"), this);
    change_->setObjectName(QStringLiteral("changeButton"));
    remove_ = new QPushButton(tr("Remove"), this);
    remove_->setObjectName(QStringLiteral("removeButton"));
    connect(add_, &QPushButton::clicked, this, &LexiconDialog::addEntry);
    connect(change_, &QPushButton::clicked, this, &LexiconDialog::changeEntry);
    connect(remove_, &QPushButton::clicked, this, &LexiconDialog::removeEntry);

    auto* form = new QFormLayout;
    form->addRow(tr("Word"), word_);
    form->addRow(tr("Say as"), sayAs_);
    form->addRow(QString(), phonemes_);
    auto* editButtons = new QHBoxLayout;
    editButtons->addWidget(add_);
    editButtons->addWidget(change_);
    editButtons->addWidget(remove_);
    editButtons->addStretch();
    auto* body = new QVBoxLayout;
    body->addWidget(list_);
    body->addLayout(form);
    body->addLayout(editButtons);
    setBody(body);
    showEntries(entries_);
    nameControls();
}

void LexiconDialog::nameControls()
{
    list_->setAccessibleName(tr("Lexicon"));
    list_->setAccessibleDescription(tr("Words the voice says its own way, and how."));
    word_->setAccessibleDescription(tr("The word as written."));
    sayAs_->setAccessibleDescription(tr("How the voice says the word."));
    phonemes_->setAccessibleDescription(
        tr("Says the word by the phoneme codes typed, not by its letters."));
    add_->setAccessibleDescription(tr("Adds the word to the lexicon."));
    change_->setAccessibleDescription(tr("Changes the chosen word to what is typed."));
    remove_->setAccessibleDescription(tr("Removes the chosen word from the lexicon."));
}

LexiconEntry LexiconDialog::typedEntry() const
{
    return {word_->text().trimmed(), sayAs_->text().trimmed(), phonemes_->isChecked()};
}

void LexiconDialog::showEntries(const QList<LexiconEntry>& entries)
{
    list_->clear();
    for (const LexiconEntry& e : entries) {
        list_->addTopLevelItem(
            new QTreeWidgetItem({e.word, e.sayAs, e.phonemes ? tr("yes") : QString()}));
    }
    updateButtons();
}

void LexiconDialog::addEntry()
{
    const LexiconEntry entry = typedEntry();
    if (entry.word.isEmpty()) {
        return;
    }
    // One entry a word: adding a word again replaces its entry.
    const auto same = std::find_if(entries_.begin(), entries_.end(), [&](const LexiconEntry& e) {
        return e.word.compare(entry.word, Qt::CaseInsensitive) == 0;
    });
    const qsizetype row = same != entries_.end() ? same - entries_.begin() : entries_.size();
    if (same != entries_.end()) {
        *same = entry;
    } else {
        entries_.append(entry);
    }
    showEntries(entries_);
    list_->setCurrentItem(list_->topLevelItem(static_cast<int>(row)));
    changed();
}

void LexiconDialog::changeEntry()
{
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    const LexiconEntry entry = typedEntry();
    if (row < 0 || entry.word.isEmpty()) {
        return;
    }
    entries_[row] = entry;
    // The changed word may now name another entry too: that one goes.
    for (qsizetype i = entries_.size() - 1; i >= 0; --i) {
        if (i != row && entries_[i].word.compare(entry.word, Qt::CaseInsensitive) == 0) {
            entries_.removeAt(i);
        }
    }
    showEntries(entries_);
    changed();
}

void LexiconDialog::removeEntry()
{
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row < 0) {
        return;
    }
    entries_.removeAt(row);
    showEntries(entries_);
    changed();
}

void LexiconDialog::selectionChanged()
{
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row >= 0 && row < entries_.size()) {
        word_->setText(entries_[row].word);
        sayAs_->setText(entries_[row].sayAs);
        phonemes_->setChecked(entries_[row].phonemes);
    }
    updateButtons();
}

void LexiconDialog::updateButtons()
{
    const bool selected = list_->currentItem() != nullptr && !list_->selectedItems().isEmpty();
    const bool typed = !word_->text().trimmed().isEmpty();
    add_->setEnabled(typed);
    change_->setEnabled(selected && typed);
    remove_->setEnabled(selected);
}

void LexiconDialog::edit(VoiceSettings& settings) const
{
    settings.lexicon = entries_;
}

QString LexiconDialog::tryText() const
{
    const QString typed = word_->text().trimmed();
    return typed.isEmpty() ? tr("Type a word to try.") : typed;
}

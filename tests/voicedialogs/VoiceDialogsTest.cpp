// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingVoiceOutput.h"
#include "SpeechTestSupport.h"
#include "common/AccessibilityAudit.h"
#include "common/TestSupport.h"
#include "speech/TextToSpeech.h"
#include "speech/VoiceTuning.h"
#include "voicedialogs/GeneralVoiceDialog.h"
#include "voicedialogs/LexiconDialog.h"
#include "voicedialogs/TranslationDialog.h"
#include "voicedialogs/VoiceDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <QWidget>
#include <memory>

namespace {

class FakeVoice : public VoiceTuning {
public:
    VoiceSettings voiceSettings() const override { return settings; }
    void applyVoiceSettings(const VoiceSettings& s) override { settings = s.normalized(); }
    bool saveVoiceSettings() override
    {
        saved.push_back(settings);
        return true;
    }
    void tryVoice(const QString& text) override { tried << text; }

    VoiceSettings settings;
    std::vector<VoiceSettings> saved;
    QStringList tried;
};

template <typename T>
T* child(QWidget& dialog, const char* name)
{
    T* found = dialog.findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void click(QWidget& dialog, const char* name)
{
    child<QPushButton>(dialog, name)->click();
}

TEST(GeneralVoiceDialogTest, ChangesApplyAtOnceAndOkKeepsThem)
{
    FakeVoice voice;
    voice.settings.pitch = 30;
    GeneralVoiceDialog dialog(voice, QString());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Voice"));
    EXPECT_EQ(child<QSlider>(dialog, "pitchSlider")->value(), 30);

    child<QSlider>(dialog, "pitchSlider")->setValue(75);
    child<QSlider>(dialog, "volumeSlider")->setValue(180);
    child<QSlider>(dialog, "wordGapSlider")->setValue(250);
    child<QSlider>(dialog, "pitchRangeSlider")->setValue(5);
    EXPECT_EQ(voice.settings.pitch, 75);
    EXPECT_EQ(voice.settings.volume, 180);
    EXPECT_EQ(voice.settings.wordGapMs, 250);
    EXPECT_EQ(voice.settings.pitchRange, 5);
    EXPECT_TRUE(voice.saved.empty());

    click(dialog, "tryButton");
    EXPECT_EQ(voice.tried.size(), 1);
    dialog.accept();
    ASSERT_EQ(voice.saved.size(), 1u);
    EXPECT_EQ(voice.saved[0].pitch, 75);
}

TEST(GeneralVoiceDialogTest, CancelPutsBackWhatWasInEffect)
{
    FakeVoice voice;
    voice.settings.volume = 60;
    const VoiceSettings before = voice.settings;
    GeneralVoiceDialog dialog(voice, QStringLiteral("Mine"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Mine"));
    child<QSlider>(dialog, "volumeSlider")->setValue(10);
    click(dialog, "defaultsButton");
    EXPECT_EQ(voice.settings.volume, 100);
    dialog.reject();
    EXPECT_EQ(voice.settings, before);
    EXPECT_TRUE(voice.saved.empty());
}

class LexiconDialogTest : public ::testing::Test {
protected:
    void type(const QString& word, const QString& sayAs, bool phonemes = false)
    {
        child<QLineEdit>(dialog, "wordEdit")->setText(word);
        child<QLineEdit>(dialog, "sayAsEdit")->setText(sayAs);
        child<QCheckBox>(dialog, "phonemesCheck")->setChecked(phonemes);
    }
    void select(int row)
    {
        QTreeWidget* list = child<QTreeWidget>(dialog, "lexiconList");
        list->setCurrentItem(list->topLevelItem(row));
    }

    FakeVoice voice;
    LexiconDialog dialog{voice, QString()};
};

TEST_F(LexiconDialogTest, AddChangeAndRemoveEntries)
{
    EXPECT_FALSE(child<QPushButton>(dialog, "addButton")->isEnabled());
    type("Tolvar", "Toll var");
    click(dialog, "addButton");
    type("GUI", "g u: i:", true);
    click(dialog, "addButton");
    ASSERT_EQ(voice.settings.lexicon.size(), 2);
    EXPECT_EQ(voice.settings.lexicon[1], (LexiconEntry{"GUI", "g u: i:", true}));

    // The same word again, in other letters, replaces its entry.
    type("tolvar", "Tole var");
    click(dialog, "addButton");
    ASSERT_EQ(voice.settings.lexicon.size(), 2);
    EXPECT_EQ(voice.settings.lexicon[0], (LexiconEntry{"tolvar", "Tole var", false}));

    select(1);
    EXPECT_EQ(child<QLineEdit>(dialog, "wordEdit")->text(), "GUI");
    EXPECT_TRUE(child<QCheckBox>(dialog, "phonemesCheck")->isChecked());
    type("GUI", "gooey");
    click(dialog, "changeButton");
    EXPECT_EQ(voice.settings.lexicon[1], (LexiconEntry{"GUI", "gooey", false}));

    select(0);
    click(dialog, "removeButton");
    ASSERT_EQ(voice.settings.lexicon.size(), 1);
    EXPECT_EQ(voice.settings.lexicon[0].word, "GUI");
    EXPECT_EQ(child<QTreeWidget>(dialog, "lexiconList")->topLevelItemCount(), 1);

    dialog.accept();
    ASSERT_EQ(voice.saved.size(), 1u);
    EXPECT_EQ(voice.saved[0].lexicon.size(), 1);
}

TEST_F(LexiconDialogTest, ChangingAWordToAnExistingOneLeavesOneEntry)
{
    type("one", "won");
    click(dialog, "addButton");
    type("two", "too");
    click(dialog, "addButton");
    select(1);
    type("ONE", "wun");
    click(dialog, "changeButton");
    ASSERT_EQ(voice.settings.lexicon.size(), 1);
    EXPECT_EQ(voice.settings.lexicon[0], (LexiconEntry{"ONE", "wun", false}));
}

TEST_F(LexiconDialogTest, TrySpeaksTheTypedWordWithTheListInEffect)
{
    type("Tolvar", "Toll var");
    click(dialog, "addButton");
    click(dialog, "tryButton");
    EXPECT_EQ(voice.tried, QStringList{"Tolvar"});
    EXPECT_EQ(voice.settings.lexicon.size(), 1);
    dialog.reject();
    EXPECT_TRUE(voice.settings.lexicon.isEmpty());
}

TEST(TranslationDialogTest, ControlsSetHowThingsAreSpoken)
{
    FakeVoice voice;
    TranslationDialog dialog(voice, QString());
    QLineEdit* marks = child<QLineEdit>(dialog, "punctuationListEdit");
    EXPECT_FALSE(marks->isEnabled());
    child<QComboBox>(dialog, "punctuationCombo")->setCurrentIndex(1);
    EXPECT_TRUE(marks->isEnabled());
    marks->setText("?!");
    emit marks->editingFinished();
    child<QComboBox>(dialog, "capitalsCombo")->setCurrentIndex(2);
    child<QComboBox>(dialog, "numbersCombo")->setCurrentIndex(1);
    QTableWidget* symbols = child<QTableWidget>(dialog, "symbolsTable");
    ASSERT_EQ(symbols->rowCount(), VoiceSettings::defaultSymbols().size());
    EXPECT_FALSE(symbols->item(0, 0)->flags() & Qt::ItemIsEditable);
    symbols->item(0, 1)->setText("per cent");

    EXPECT_EQ(voice.settings.punctuation, PunctuationMode::Some);
    EXPECT_EQ(voice.settings.punctuationList, "?!");
    EXPECT_EQ(voice.settings.capitals, CapitalsMode::RaisePitch);
    EXPECT_EQ(voice.settings.numbers, NumbersMode::Digits);
    EXPECT_EQ(voice.settings.symbols[0], (SymbolReading{"%", "per cent"}));

    click(dialog, "tryButton");
    EXPECT_TRUE(voice.tried.value(0).contains("%"));
    dialog.accept();
    EXPECT_EQ(voice.saved.size(), 1u);
}

TEST(VoiceDialogsTest, EveryControlOfEveryDialogIsNamedForScreenReaders)
{
    FakeVoice voice;
    GeneralVoiceDialog general(voice, QString());
    LexiconDialog lexicon(voice, QString());
    TranslationDialog translation(voice, QString());
    // Sliders and buttons; the list, boxes and buttons; the lists and table.
    const std::pair<QWidget*, std::size_t> dialogs[] = {
        {&general, 8u}, {&lexicon, 10u}, {&translation, 8u}};
    for (const auto& [dialog, count] : dialogs) {
        SCOPED_TRACE(dialog->windowTitle().toStdString());
        const auto controls = accessibility_audit::controls(dialog);
        const std::string all = accessibility_audit::listing(controls).toStdString();
        EXPECT_EQ(controls.size(), count) << all;
        EXPECT_EQ(accessibility_audit::unnamed(controls), QStringList()) << all;
    }
}

TEST(VoiceDialogsTest, TheEngineOpensItsDialogsOverTheOwner)
{
    testing_support::SettingsSandbox sandbox;
    RecordingVoiceOutput output;
    TextToSpeech talk(output);
    VoiceDialogs dialogs;
    talk.setDialogProvider(&dialogs);
    QWidget owner;

    talk.generalDialog(&owner, QString());
    talk.lexiconDialog(&owner, QStringLiteral("Words"));
    talk.translationDialog(&owner, QString());
    QPointer<GeneralVoiceDialog> general = owner.findChild<GeneralVoiceDialog*>();
    QPointer<LexiconDialog> lexicon = owner.findChild<LexiconDialog*>();
    ASSERT_TRUE(general && lexicon && owner.findChild<TranslationDialog*>());
    EXPECT_TRUE(general->isVisible());
    EXPECT_EQ(lexicon->windowTitle(), QStringLiteral("Words"));

    // OK in the real dialog changes the engine and its stored settings.
    child<QSlider>(*general, "pitchSlider")->setValue(90);
    EXPECT_EQ(talk.voiceSettings().pitch, 90);
    general->accept();
    EXPECT_TRUE(testing_support::waitUntil([&] { return general.isNull(); }));
    RecordingVoiceOutput otherOutput;
    EXPECT_EQ(TextToSpeech(otherOutput).voiceSettings().pitch, 90);
}

}  // namespace

namespace {

// Escape closes each voice dialog as Cancel does, wherever the focus is in it.
TEST(VoiceDialogsTest, EscapeClosesEachDialogAsCancelDoes)
{
    testing_support::SettingsSandbox sandbox;
    FakeVoice voice;
    voice.settings.lexicon = {{QStringLiteral("Tolvar"), QStringLiteral("Toll var"), false}};
    const auto makers = {
        +[](FakeVoice& v) -> QDialog* { return new GeneralVoiceDialog(v, QString()); },
        +[](FakeVoice& v) -> QDialog* { return new LexiconDialog(v, QString()); },
        +[](FakeVoice& v) -> QDialog* { return new TranslationDialog(v, QString()); },
    };
    for (const auto make : makers) {
        const std::unique_ptr<QDialog> probe(make(voice));
        const QList<QWidget*> all = probe->findChildren<QWidget*>();
        for (qsizetype i = 0; i < all.size(); ++i) {
            if ((all.at(i)->focusPolicy() & Qt::TabFocus) == 0 ||
                !all.at(i)->isVisibleTo(probe.get())) {
                continue;
            }
            const std::unique_ptr<QDialog> dialog(make(voice));
            QWidget* control = dialog->findChildren<QWidget*>().at(i);
            const VoiceSettings before = voice.settings;
            dialog->show();
            QApplication::setActiveWindow(dialog.get());
            control->setFocus(Qt::TabFocusReason);
            QTest::keyClick(control, Qt::Key_Escape);
            EXPECT_FALSE(dialog->isVisible())
                << dialog->windowTitle().toStdString() << ", focus in "
                << control->metaObject()->className() << " " << control->objectName().toStdString();
            EXPECT_EQ(voice.settings, before);
        }
    }
}

}  // namespace

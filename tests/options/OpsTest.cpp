// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/Ops.h"

#include "audio/AudioEngine.h"
#include "base/BusyCursor.h"
#include "base/RandomSource.h"
#include "broadcast/Broadcast.h"
#include "broadcast/BroadcastSetting.h"
#include "broadcast/BroadcastStore.h"
#include "common/AccessibilityAudit.h"
#include "common/FakeSpeechEngine.h"
#include "common/StoredSettings.h"
#include "common/TestSupport.h"
#include "playback/AcceptedPlaylist.h"
#include "settings/RadioSettings.h"
#include "ui/PulsingLight.h"
#include "ui/TwipsScale.h"
#include "ui/WindowDrag.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <set>

using stored_settings::openStore;
using stored_settings::saveOrder;
using stored_settings::stored;
using stored_settings::storedKeys;

namespace {

struct Message {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

class OpsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The shared variables as a fresh start leaves them.
        LoadSettings(settings, random, {});
        ASSERT_TRUE(storedKeys().isEmpty());
        talk.engines = {"English", "German", "French"};
        ops = std::make_unique<Ops>(settings, random, talk);
        ops->setMessageHandler(
            [this](QMessageBox::Icon icon, const QString& title, const QString& text) {
                messages.push_back({icon, title, text});
            });
    }

    template <typename T>
    T* control(const char* name) const
    {
        T* found = ops->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const char* name) const { return control<QLabel>(name)->text(); }
    QScrollBar* bar(const char* name) const { return control<QScrollBar>(name); }
    QCheckBox* box(const char* name) const { return control<QCheckBox>(name); }
    QComboBox* engines() const { return control<QComboBox>("ComboEngines"); }
    void press(int item)
    {
        control<QPushButton>(QStringLiteral("CmdOps_%1").arg(item).toLatin1())->click();
    }

    void expectNotSupportedOnce()
    {
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].icon, QMessageBox::Information);
        EXPECT_EQ(messages[0].title, "Not Supported!");
        EXPECT_EQ(messages[0].text, "Voice engine doesn't support this feature");
        messages.clear();
    }

    testing_support::SettingsSandbox sandbox;
    RadioSettings settings;
    RandomSource random;
    FakeSpeechEngine talk;
    std::unique_ptr<Ops> ops;
    std::vector<Message> messages;
};

}  // namespace

TEST_F(OpsTest, ControlsSitWhereTheyBelongWithTheirTexts)
{
    const TwipsScale scale = TwipsScale::forWidget(ops.get());
    EXPECT_EQ(ops->size(), scale.size(6675, 6390));
    EXPECT_TRUE(ops->windowFlags().testFlag(Qt::FramelessWindowHint));

    struct Place {
        const char* name;
        int left, top, width, height;
    };
    for (const Place& p : std::initializer_list<Place>{{"Label2_0", 4590, 90, 1860, 360},
                                                       {"ComboEngines", 360, 1890, 5325, 315},
                                                       {"LblWhich", 5760, 1890, 465, 270},
                                                       {"HScroll1", 4050, 2830, 1095, 125},
                                                       {"LblSpeed", 5175, 2745, 465, 255},
                                                       {"CmdOps_5", 4950, 1530, 735, 315},
                                                       {"Label2_1", 5400, 3330, 975, 360},
                                                       {"TimeScroll", 3690, 4440, 735, 125},
                                                       {"NewsScroll", 5040, 4440, 735, 125},
                                                       {"HScroll2", 1350, 5200, 825, 105},
                                                       {"Label2_2", 1170, 5400, 1455, 645},
                                                       {"CmdOps_2", 4140, 5850, 735, 315},
                                                       {"CmdOps_0", 5040, 5850, 735, 315}}) {
        QWidget* w = ops->findChild<QWidget*>(QLatin1String(p.name));
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->geometry(), scale.rect(p.left, p.top, p.width, p.height)) << p.name;
    }
    // The engine's dialog buttons keep their row, first place and spacing;
    // each only grows when its caption needs it.
    const QRect information = scale.rect(360, 2700, 960, 315);
    const int gap = scale.rect(1440, 0, 0, 0).x() - information.right() - 1;
    int left = information.x();
    for (const char* name : {"CmdOps_1", "CmdOps_3", "CmdOps_4"}) {
        const QWidget* w = control<QWidget>(name);
        EXPECT_EQ(w->x(), left) << name;
        EXPECT_EQ(w->y(), information.y()) << name;
        EXPECT_EQ(w->height(), information.height()) << name;
        EXPECT_GE(w->width(), information.width()) << name;
        left = w->geometry().right() + 1 + gap;
    }
    // Controls given only a position start there.
    for (const Place& p : std::initializer_list<Place>{{"CmdLbl_5", 360, 360, 0, 0},
                                                       {"LblMfg", 990, 360, 0, 0},
                                                       {"Check7", 3840, 2250, 0, 0},
                                                       {"Label111_3", 4080, 2280, 0, 0},
                                                       {"Option3", 2160, 2250, 0, 0},
                                                       {"Check4", 1350, 4770, 0, 0},
                                                       {"Label1_3", 2190, 5130, 0, 0},
                                                       {"Label1_8", 3960, 4800, 0, 0}}) {
        QWidget* w = ops->findChild<QWidget*>(QLatin1String(p.name));
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->pos(), scale.rect(p.left, p.top, 0, 0).topLeft()) << p.name;
    }

    const std::pair<const char*, const char*> captions[] = {
        {"Label2_0", "Voice Engines"},
        {"CmdLbl_5", "Mfg:"},
        {"CmdLbl_4", "Style:"},
        {"CmdLbl_2", "Dialect:"},
        {"CmdLbl_6", "Name:"},
        {"CmdLbl_7", "Age:"},
        {"CmdLbl_8", "Speaker:"},
        {"CmdLbl_1", "You have"},
        {"LblCount", "0"},
        {"CmdLbl_3", "voice engines available."},
        {"Label1_10", "Male"},
        {"Label1_1", "Female"},
        {"Label1_22", "Neutral  (Pat)"},
        {"Label111_3", "Fast CPU"},
        {"Label1_4", "Slow CPU"},
        {"CmdLbl_0", "Voice Speed"},
        {"LblSpeed", "125"},
        {"Label2_1", "Options"},
        {"Label3_4", "Loop"},
        {"Label3_1", "Stay on Top"},
        {"Label3_2", "Random"},
        {"Label3_3", "Hide Progress Bar"},
        {"Label3_5", "After how many songs?"},
        {"LblMany_2", "Time"},
        {"LblMany_0", "News"},
        {"Label1_8", "After random number of songs"},
        {"Label3_0", "Flushback"},
        {"Label1_3", "500"},
        {"Label2_2", "Use if no sound is heard while playing."}};
    for (const auto& [name, caption] : captions) {
        EXPECT_EQ(text(name), caption) << name;
    }
    const std::pair<int, const char*> buttons[] = {{0, "Cancel"},  {1, "Information"}, {2, "Save"},
                                                   {3, "Lexicon"}, {4, "Translate"},   {5, "Test"}};
    for (const auto& [item, caption] : buttons) {
        EXPECT_EQ(control<QPushButton>(QStringLiteral("CmdOps_%1").arg(item).toLatin1())->text(),
                  caption);
    }
    for (const char* name : {"Check1", "Check2", "Check3", "Check4", "Check5", "Check7", "Check8",
                             "Check9", "Check10", "Option1", "Option2", "Option3"}) {
        EXPECT_TRUE(control<QAbstractButton>(name)->text().isEmpty()) << name;
    }
}

TEST_F(OpsTest, EveryControlIsNamedForScreenReadersAndTabFollowsTheRows)
{
    const auto controls = accessibility_audit::controls(ops.get());
    const std::string all = accessibility_audit::listing(controls).toStdString();
    EXPECT_EQ(controls.size(), 26u) << all;
    EXPECT_EQ(accessibility_audit::unnamed(controls), QStringList()) << all;

    // Tab enters the group of three voice kinds once; the arrow keys move within.
    EXPECT_EQ(accessibility_audit::tabWalk(ops.get(), control<QWidget>("CmdOps_5"), 23),
              QStringList({"CmdOps_5",     "ComboEngines", "Option1",  "Check7",   "Check8",
                           "CmdOps_1",     "CmdOps_3",     "CmdOps_4", "HScroll1", "TxtNewsHost",
                           "Check1",       "Check5",       "Check2",   "Check9",   "Check10",
                           "TimeScroll",   "NewsScroll",   "Check4",   "Check3",   "HScroll2",
                           "TxtBroadcast", "CrossfadeBox", "CmdOps_2", "CmdOps_0"}));
}

TEST_F(OpsTest, TipsAreTheProgramsOwn)
{
    const std::pair<const char*, const char*> tips[] = {
        {"ComboEngines", "Voice engines registered on your computer"},
        {"LblWhich", "Engine number"},
        {"Check7", "Releases system while talking.  For really fast CPU's."},
        {"Label111_3", "Releases system while talking.  For really fast CPU's."},
        {"Check8", "No buffering. Talks while music plays."},
        {"Label1_4", "No buffering. Talks while music plays."},
        {"CmdOps_1",
         "Displays a General dialog box that gives the user general control of the "
         "text-to-speech engine."},
        {"CmdOps_3",
         "Displays a Lexicon dialog box that allows the user to view and edit the "
         "pronunciation lexicon."},
        {"CmdOps_4",
         "Displays a Translation dialog box that allows the user to control symbols, "
         "currencies, abbreviations, and number-translation techniques."},
        {"Label3_4", "Play all songs."},
        {"Label3_1", "Keeps ZA3-Revez on top of other windows."},
        {"Label3_2", "Randomize the  play selection."},
        {"Label3_3", "Hides the progress bar."},
        {"Label3_5", "Select how many songs to play before I announce the time and news."},
        {"Label1_2", "Number of Songs."},
        {"Label1_0", "Number of Songs."},
        {"Check3", "Announce time after random number of songs."},
        {"Label1_8", "Announce time after random number of songs."},
        {"Check4", "Use this if playing, but you don't hear anything"},
        {"CmdOps_2", "Save changes"},
        {"CmdOps_0", "Cancel"}};
    for (const auto& [name, tip] : tips) {
        EXPECT_EQ(control<QWidget>(name)->toolTip(), tip) << name;
    }
}

TEST_F(OpsTest, BarsHaveTheirRangesAndStepsAndNumberLabelsASerifFont)
{
    struct Range {
        const char* name;
        int minimum, maximum, page, design;
    };
    for (const Range& r :
         {Range{"HScroll1", 10, 500, 10, 125}, Range{"TimeScroll", 0, 999, 10, 0},
          Range{"NewsScroll", 0, 999, 10, 0}, Range{"HScroll2", 10, 32000, 25, 500}}) {
        QScrollBar* b = bar(r.name);
        EXPECT_EQ(b->orientation(), Qt::Horizontal) << r.name;
        EXPECT_EQ(b->minimum(), r.minimum) << r.name;
        EXPECT_EQ(b->maximum(), r.maximum) << r.name;
        EXPECT_EQ(b->pageStep(), r.page) << r.name;
        EXPECT_EQ(b->singleStep(), 1) << r.name;
        EXPECT_EQ(b->value(), r.design) << r.name;
    }
    // Where "MS Serif" is missing the labels use the system's serif face.
    QFont serif(QStringLiteral("serif"));
    serif.setStyleHint(QFont::Serif);
    const QString systemSerif = QFontInfo(serif).family();
    for (const char* name : {"Label1_2", "Label1_0", "Label1_3"}) {
        const QFont font = control<QLabel>(name)->font();
        ASSERT_FALSE(font.families().isEmpty());
        EXPECT_EQ(font.families().first(), "MS Serif") << name;
        const QString used = QFontInfo(font).family();
        EXPECT_TRUE(used == "MS Serif" || used.contains("Serif") || used == systemSerif)
            << name << " uses " << used.toStdString();
    }
}

TEST_F(OpsTest, OpeningShowsTheEnginesAndTheSharedValues)
{
    settings.ManyTime = 12;
    settings.ManyNews = 30;
    settings.FlushCount = 1200;
    settings.EngineNum = 2;
    settings.EngineSpeed = 210;
    settings.Rands = true;
    settings.Progressbar = true;
    settings.Loops = false;
    ops->Form_Load();

    EXPECT_EQ(text("LblCount"), "3");
    ASSERT_EQ(engines()->count(), 3);
    EXPECT_EQ(engines()->itemText(0), "English");
    EXPECT_EQ(engines()->itemText(2), "French");
    EXPECT_EQ(engines()->currentIndex(), 1);
    EXPECT_EQ(text("LblWhich"), "2");
    EXPECT_EQ(text("LblName"), "German name");

    // Each number label shows the value of the bar beside it.
    const std::pair<const char*, const char*> pairs[] = {{"TimeScroll", "Label1_2"},
                                                         {"NewsScroll", "Label1_0"},
                                                         {"HScroll2", "Label1_3"},
                                                         {"HScroll1", "LblSpeed"}};
    for (const auto& [barName, labelName] : pairs) {
        EXPECT_EQ(text(labelName), QString::number(bar(barName)->value())) << labelName;
    }
    EXPECT_EQ(bar("TimeScroll")->value(), 12);
    EXPECT_EQ(bar("NewsScroll")->value(), 30);
    EXPECT_EQ(bar("HScroll2")->value(), 1200);
    EXPECT_EQ(bar("HScroll1")->value(), 210);

    EXPECT_TRUE(box("Check2")->isChecked());
    EXPECT_TRUE(box("Check9")->isChecked());
    EXPECT_FALSE(box("Check1")->isChecked());
    EXPECT_TRUE(box("Check4")->isChecked());
    EXPECT_TRUE(box("Check5")->isChecked());
    EXPECT_FALSE(box("Check3")->isChecked());
    // Opening tells the engine nothing.
    EXPECT_EQ(talk.selected, 0);
    EXPECT_TRUE(storedKeys().isEmpty());
}

TEST_F(OpsTest, ValuesKeepAGapAfterTheirCaptionsAndTheCountReadsAsOneLine)
{
    talk.engines.clear();
    for (int i = 1; i <= 232; ++i) {
        talk.engines << QStringLiteral("Voice %1").arg(i);
    }
    settings.EngineNum = 1;
    ops->Form_Load();
    ASSERT_EQ(text("LblCount"), "232");

    const TwipsScale scale = TwipsScale::forWidget(ops.get());
    const auto textEnd = [](const QLabel* label) {
        return label->x() + label->fontMetrics().horizontalAdvance(label->text());
    };
    // Each pair reads on one baseline, the second a space after the first.
    const auto expectSpaced = [&](const char* first, const char* second) {
        const QLabel* a = control<QLabel>(first);
        const QLabel* b = control<QLabel>(second);
        EXPECT_GE(b->x() - textEnd(a), a->fontMetrics().horizontalAdvance(QLatin1Char(' ')))
            << first << " runs into " << second;
        EXPECT_EQ(b->y(), a->y()) << second;
        EXPECT_EQ(b->height(), a->height()) << second;
        EXPECT_EQ(b->alignment() & Qt::AlignVertical_Mask, a->alignment() & Qt::AlignVertical_Mask)
            << second;
    };
    struct Field {
        const char* caption;
        const char* value;
        int designLeft;
    };
    for (const Field& f :
         {Field{"CmdLbl_5", "LblMfg", 990}, Field{"CmdLbl_4", "LblStyle", 990},
          Field{"CmdLbl_2", "LblDialect", 990}, Field{"CmdLbl_6", "LblName", 990},
          Field{"CmdLbl_7", "LblAge", 3330}, Field{"CmdLbl_8", "LblSpeaker", 4410}}) {
        expectSpaced(f.caption, f.value);
        EXPECT_GE(control<QLabel>(f.value)->x(), scale.rect(f.designLeft, 0, 0, 0).x()) << f.value;
    }
    expectSpaced("CmdLbl_1", "LblCount");
    expectSpaced("LblCount", "CmdLbl_3");
    for (const char* name : {"LblCount", "CmdLbl_3"}) {
        const QLabel* part = control<QLabel>(name);
        EXPECT_GE(part->width(), part->fontMetrics().horizontalAdvance(part->text())) << name;
    }
}

// A voice's details in the room their row has: a long one is cut with an
// ellipsis a space before what follows it, and told whole in its tooltip and
// to screen readers; a short one shows whole without a tooltip.
TEST_F(OpsTest, LongVoiceDetailsStayClearOfWhatFollowsThem)
{
    const QString longName = QStringLiteral("English (West Midlands) (en-gb-x-gbcwmd)");
    talk.engines = {longName, QStringLiteral("Pat")};
    settings.EngineNum = 1;
    ops->Form_Load();
    ops->show();
    const int windowEdge = ops->rect().right() - 2;  // inside the 2 pixel outline
    struct Row {
        const char* value;
        const char* next;  // the caption that follows on the line; none: the window's edge
        QString whole;
    };
    const Row rows[] = {{"LblName", "CmdLbl_7", longName + " name"},
                        {"LblStyle", nullptr, longName + " style"},
                        {"LblDialect", nullptr, longName + " dialect"},
                        {"LblSpeaker", nullptr, longName + " speaker"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        const QLabel* value = control<QLabel>(row.value);
        const int limit = row.next != nullptr ? control<QLabel>(row.next)->x() : windowEdge;
        const int textEnd = value->x() + value->contentsRect().left() +
                            value->fontMetrics().horizontalAdvance(value->text());
        EXPECT_LE(textEnd + value->fontMetrics().horizontalAdvance(QLatin1Char(' ')), limit);
        EXPECT_LE(value->geometry().right(), limit);
        const bool cut = value->text() != row.whole;
        if (cut) {
            EXPECT_TRUE(value->text().endsWith(QChar(0x2026)));
            EXPECT_TRUE(row.whole.startsWith(value->text().chopped(1)));
        }
        EXPECT_EQ(value->toolTip(), cut ? row.whole : QString());
        EXPECT_EQ(value->accessibleName(), cut ? row.whole : QString());
    }
    EXPECT_NE(text("LblName"), longName + " name");

    engines()->setCurrentIndex(1);
    EXPECT_EQ(text("LblName"), "Pat name");
    EXPECT_EQ(control<QLabel>("LblName")->toolTip(), QString());
}

// Every button's caption keeps its margins inside the button, and the row of
// the engine's dialog buttons neither overlaps nor runs into the speed bar.
TEST_F(OpsTest, ButtonCaptionsKeepTheirMargins)
{
    for (int item = 0; item <= 5; ++item) {
        const auto* button = control<QPushButton>(QStringLiteral("CmdOps_%1").arg(item).toLatin1());
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 2 * margin,
                  button->width())
            << button->text().toStdString();
        EXPECT_TRUE(ops->rect().contains(button->geometry())) << item;
    }
    const char* row[] = {"CmdOps_1", "CmdOps_3", "CmdOps_4", "CmdLbl_0"};
    for (std::size_t i = 0; i + 1 < std::size(row); ++i) {
        EXPECT_LT(control<QWidget>(row[i])->geometry().right(), control<QWidget>(row[i + 1])->x())
            << row[i] << " runs into " << row[i + 1];
    }
    EXPECT_LT(control<QWidget>("CmdOps_4")->geometry().right(), bar("HScroll1")->x());
}

TEST_F(OpsTest, ReopeningReloadsFromTheSharedValuesWithoutDuplicatingEngines)
{
    ops->Form_Load();
    bar("TimeScroll")->setValue(40);
    box("Check1")->setChecked(false);
    press(0);

    settings.ManyTime = 9;
    ops->Form_Load();
    EXPECT_EQ(engines()->count(), 3);
    EXPECT_EQ(bar("TimeScroll")->value(), 9);
    EXPECT_EQ(text("Label1_2"), "9");
    EXPECT_TRUE(box("Check1")->isChecked());
}

TEST_F(OpsTest, OutOfRangeStoredValuesShowInTheLabelAndLeaveTheBar)
{
    settings.ManyTime = 25;
    ops->Form_Load();
    ASSERT_EQ(bar("TimeScroll")->value(), 25);
    press(0);

    settings.ManyTime = 1500;
    settings.FlushCount = 5;
    settings.EngineSpeed = 900;
    talk.setSpeed(300);
    ops->Form_Load();
    EXPECT_EQ(text("Label1_2"), "1500");
    EXPECT_EQ(bar("TimeScroll")->value(), 25);
    EXPECT_EQ(text("Label1_3"), "5");
    EXPECT_EQ(bar("HScroll2")->value(), 500);
    // The engine's own speed stays shown when the stored one does not fit.
    EXPECT_EQ(bar("HScroll1")->value(), 300);
    EXPECT_EQ(text("LblSpeed"), "300");

    // Saving writes what the bar holds, and the number shown for the flush start.
    press(2);
    EXPECT_EQ(stored("ManyTime"), "25");
    EXPECT_EQ(stored("FlushCount"), "5");
    EXPECT_EQ(settings.ManyTime, 25);
}

TEST_F(OpsTest, LabelsAndGenderFollowTheChosenEngine)
{
    ops->Form_Load();
    talk.setSpeed(333);
    talk.calls.clear();

    // The fake's genders: engine 1 female, 2 male, 3 neutral.
    const std::pair<int, const char*> choices[] = {{1, "Option1"}, {0, "Option2"}, {2, "Option3"}};
    for (const auto& [position, option] : choices) {
        engines()->setCurrentIndex(position);
        const QString entry = talk.engines.at(position);
        EXPECT_EQ(text("LblName"), entry + " name");
        EXPECT_EQ(text("LblMfg"), "Fake Voices");
        EXPECT_EQ(text("LblStyle"), entry + " style");
        EXPECT_EQ(text("LblDialect"), entry + " dialect");
        EXPECT_EQ(text("LblSpeaker"), entry + " speaker");
        EXPECT_EQ(text("LblAge"), QString::number(21 + position));
        EXPECT_EQ(text("LblWhich"), QString::number(position + 1));
        EXPECT_TRUE(control<QRadioButton>(option)->isChecked()) << entry.toStdString();
        EXPECT_EQ(settings.EngineNum, position + 1);
        EXPECT_EQ(bar("HScroll1")->value(), 333);
        EXPECT_EQ(text("LblSpeed"), "333");
    }
    // Choosing is not trying: the engine in use and the store stay as they were.
    EXPECT_TRUE(talk.calls.isEmpty());
    EXPECT_TRUE(storedKeys().isEmpty());
}

TEST_F(OpsTest, WithoutEnginesSaveAndTestOnlyReport)
{
    talk.engines.clear();
    ops->Form_Load();
    EXPECT_EQ(text("LblCount"), "0");
    EXPECT_EQ(engines()->count(), 0);
    EXPECT_EQ(engines()->currentIndex(), -1);

    press(5);
    expectNotSupportedOnce();
    EXPECT_TRUE(talk.spoken.isEmpty());

    ops->show();
    press(2);
    expectNotSupportedOnce();
    EXPECT_TRUE(storedKeys().isEmpty());
    EXPECT_EQ(settings.EngineNum, 1);
    EXPECT_TRUE(ops->isVisible()) << "a failed save leaves the window open";
    ops->hide();
}

TEST_F(OpsTest, StoredEngineBeyondTheListChoosesNoneAndSaveReports)
{
    settings.EngineNum = 7;
    ops->Form_Load();
    EXPECT_EQ(engines()->currentIndex(), -1);
    EXPECT_EQ(text("LblWhich"), "0");
    EXPECT_EQ(settings.EngineNum, 7);
    press(2);
    expectNotSupportedOnce();
    EXPECT_TRUE(storedKeys().isEmpty());
}

TEST_F(OpsTest, SaveWritesEachBoxToItsOwnSetting)
{
    struct Link {
        const char* box;
        const char* key;
        Setting<bool> RadioSettings::*variable;
    };
    const Link links[] = {{"Check9", "Progressbar", &RadioSettings::Progressbar},
                          {"Check7", "Release", &RadioSettings::Release},
                          {"Check8", "Slow", &RadioSettings::Slow},
                          {"Check2", "Rands", &RadioSettings::Rands},
                          {"Check1", "Loops", &RadioSettings::Loops},
                          {"Check5", "MakeItTop", &RadioSettings::MakeItTop},
                          {"Check4", "FlushBack", &RadioSettings::FlushBack},
                          {"Check3", "Randoms", &RadioSettings::Randoms}};
    for (const Link& checked : links) {
        ops->Form_Load();
        for (const Link& other : links) {
            box(other.box)->setChecked(false);
        }
        box(checked.box)->setChecked(true);
        press(2);
        for (const Link& other : links) {
            const bool on = other.box == checked.box;
            EXPECT_EQ(stored(other.key), on ? "True" : "False")
                << checked.box << " -> " << other.key;
            EXPECT_EQ((settings.*other.variable).value(), on) << checked.box << " -> " << other.key;
        }
    }
}

TEST_F(OpsTest, SaveStoresBarsEngineAndSpeedInOrder)
{
    ops->Form_Load();
    engines()->setCurrentIndex(2);
    bar("HScroll1")->setValue(77);
    bar("TimeScroll")->setValue(0);
    bar("NewsScroll")->setValue(999);
    bar("HScroll2")->setValue(32000);
    QStringList order;
    ops->actions().setAfterWrite([&](const QString& key) { order << key; });

    press(2);

    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(order, saveOrder());
    EXPECT_EQ(talk.calls, (QStringList{"selectEngine 3", "setSpeed 77"}));
    EXPECT_EQ(stored("EngineNum"), "3");
    EXPECT_EQ(stored("EngineSpeed"), "77");
    EXPECT_EQ(stored("ManyTime"), "0");
    EXPECT_EQ(stored("ManyNews"), "999");
    EXPECT_EQ(stored("FlushCount"), "32000");
    EXPECT_EQ(settings.ManyTime, 0);
    EXPECT_EQ(settings.ManyNews, 999);
    EXPECT_EQ(settings.FlushCount, 32000);
    EXPECT_EQ(settings.EngineSpeed, 77);
}

TEST_F(OpsTest, RandomCountsAreDrawnAtEverySave)
{
    std::uint64_t clock = 5;
    random.setClock([&] { return clock; });
    std::set<std::pair<int, int>> drawn;
    for (int save = 0; save < 20; ++save) {
        clock += 104729;
        ops->Form_Load();
        box("Check3")->setChecked(true);
        bar("TimeScroll")->setValue(8);
        bar("NewsScroll")->setValue(16);
        press(2);
        EXPECT_EQ(stored("ManyTime"), "8");
        EXPECT_EQ(stored("ManyNews"), "16");
        EXPECT_EQ(stored("Randoms"), "True");
        EXPECT_TRUE(settings.Randoms);
        EXPECT_GE(settings.ManyTime, 1);
        EXPECT_LE(settings.ManyTime, 51);
        EXPECT_GE(settings.ManyNews, 1);
        EXPECT_LE(settings.ManyNews, 51);
        drawn.insert({settings.ManyTime, settings.ManyNews});
        // The next opening shows the random counts in use, as the bars would.
    }
    EXPECT_GT(drawn.size(), 10u);
}

TEST_F(OpsTest, TestThenCancelKeepsTheTriedVoiceButStoresNothing)
{
    settings.EngineSpeed = 165;
    ops->Form_Load();
    engines()->setCurrentIndex(1);
    bar("HScroll1")->setValue(280);
    talk.calls.clear();

    press(5);
    EXPECT_EQ(talk.calls,
              (QStringList{"selectEngine 2", "setSpeed 280",
                           "speak This is a test ... testing, testing, ... how do I sound now?"}));
    press(0);

    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(talk.selected, 2);
    EXPECT_EQ(talk.speed(), 280);
    EXPECT_TRUE(storedKeys().isEmpty());
    EXPECT_EQ(settings.EngineSpeed, 165);
}

TEST_F(OpsTest, EngineDialogsOpenOrReportThatTheyAreMissing)
{
    ops->Form_Load();
    QWidget owner;
    ops->setDialogOwner(&owner);
    press(1);
    press(3);
    press(4);
    EXPECT_EQ(talk.calls, (QStringList{"dialog general", "dialog lexicon", "dialog translation"}));
    EXPECT_TRUE(messages.empty());

    talk.dialogsFail = true;
    for (int item : {1, 3, 4}) {
        press(item);
        expectNotSupportedOnce();
    }
}

TEST_F(OpsTest, FlushBarEnablingFollowsTheSettingAtOpening)
{
    settings.FlushBack = false;
    ops->Form_Load();
    EXPECT_FALSE(box("Check4")->isChecked());
    EXPECT_FALSE(bar("HScroll2")->isEnabled());
    EXPECT_FALSE(control<QLabel>("Label1_3")->isEnabled());
    box("Check4")->setChecked(true);
    EXPECT_FALSE(bar("HScroll2")->isEnabled());

    settings.FlushBack = true;
    ops->Form_Load();
    EXPECT_TRUE(bar("HScroll2")->isEnabled());
    EXPECT_TRUE(control<QLabel>("Label1_3")->isEnabled());
    box("Check4")->setChecked(false);
    EXPECT_TRUE(bar("HScroll2")->isEnabled());
}

TEST_F(OpsTest, ExecRestoresThePointerAndSaveAccepts)
{
    ShowBusyCursor();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    bool cursorNormalWhileOpen = false;
    bool maskedWhileOpen = false;
    QTimer::singleShot(50, ops.get(), [&] {
        cursorNormalWhileOpen = QApplication::overrideCursor() == nullptr;
        maskedWhileOpen = !ops->mask().isEmpty();
        press(2);
    });
    // A guard so a stuck window cannot hang the run.
    QTimer::singleShot(10000, ops.get(), [&] { ops->close(); });

    EXPECT_EQ(ops->exec(), QDialog::Accepted);
    EXPECT_TRUE(cursorNormalWhileOpen);
    EXPECT_TRUE(maskedWhileOpen);
    EXPECT_FALSE(ops->isVisible());
    EXPECT_TRUE(ops->mask().isEmpty()) << "closing removes the rounded outline";
    EXPECT_EQ(stored("Randoms"), "False");

    QTimer::singleShot(50, ops.get(), [&] { press(0); });
    QTimer::singleShot(10000, ops.get(), [&] { ops->close(); });
    EXPECT_EQ(ops->exec(), QDialog::Rejected);
}

TEST(OpsMessage, FailureShowsAnInformationBox)
{
    testing_support::SettingsSandbox sandbox;
    RadioSettings settings;
    RandomSource random;
    openStore(settings);
    FakeSpeechEngine talk;
    talk.dialogsFail = true;
    Ops ops(settings, random, talk);
    ops.Form_Load();

    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        box->accept();
    });
    poll.start(20);
    QTimer::singleShot(10000, &ops, [] {
        if (QWidget* stuck = QApplication::activeModalWidget()) {
            stuck->close();
        }
    });

    ops.findChild<QPushButton*>(QStringLiteral("CmdOps_1"))->click();

    EXPECT_EQ(title, "Not Supported!");
    EXPECT_EQ(text, "Voice engine doesn't support this feature");
    EXPECT_EQ(icon, QMessageBox::Information);
}

TEST_F(OpsTest, BackgroundAndCaptionsDragTheWindowButControlsDoNot)
{
    ops->Form_Load();
    ops->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ops.get()));
    ops->drag()->setSystemMoveAllowed(false);
    EXPECT_EQ(ops->fades()->geometry(), TwipsScale::forWidget(ops.get()).rect(6120, 6030, 255, 45));

    for (const char* surface : {"VideoSoftElastic1", "LblMfg", "Label3_5"}) {
        QWidget* w = control<QWidget>(surface);
        QTest::mousePress(w, Qt::RightButton, {}, QPoint(2, 2));
        EXPECT_TRUE(ops->drag()->following()) << surface;
        QTest::mouseRelease(w, Qt::RightButton, {}, QPoint(2, 2));
        EXPECT_FALSE(ops->drag()->following()) << surface;
    }
    QTest::mousePress(bar("TimeScroll"), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_FALSE(ops->drag()->following());
    QTest::mouseRelease(bar("TimeScroll"), Qt::LeftButton, {}, QPoint(2, 2));
    ops->hide();
}

// The headline source sits in free space: no control of the window moved
// for it, none is covered by it.
TEST_F(OpsTest, HeadlinesFromSitsInFreeSpaceAndShowsTheDefault)
{
    ops->Form_Load();
    EXPECT_EQ(text("LblNewsHost"), "Headlines from:");
    auto* source = control<QLineEdit>("TxtNewsHost");
    EXPECT_EQ(source->text(), "slashdot.org");
    EXPECT_TRUE(storedKeys().isEmpty());

    EXPECT_FALSE(source->geometry().intersects(control<QWidget>("LblNewsHost")->geometry()));
    const QRect window = ops->rect();
    for (QWidget* mine : {static_cast<QWidget*>(source), control<QWidget>("LblNewsHost")}) {
        EXPECT_TRUE(window.contains(mine->geometry())) << mine->objectName().toStdString();
        for (QWidget* other : ops->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            const QString name = other->objectName();
            if (other == source || name == "LblNewsHost" || name == "VideoSoftElastic1") {
                continue;
            }
            EXPECT_FALSE(mine->geometry().intersects(other->geometry()))
                << mine->objectName().toStdString() << " covers " << name.toStdString();
        }
    }
}

TEST_F(OpsTest, HeadlinesFromIsSavedIntoNewsHost)
{
    stored_settings::store(QStringLiteral("NewsHost"), QStringLiteral("news.example.org"));
    ops->Form_Load();
    auto* source = control<QLineEdit>("TxtNewsHost");
    EXPECT_EQ(source->text(), "news.example.org");

    source->setText(QStringLiteral("  https://example.org/feed.xml  "));
    press(2);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(stored("NewsHost"), "https://example.org/feed.xml");
    ops->Form_Load();
    EXPECT_EQ(source->text(), "https://example.org/feed.xml");
}

TEST_F(OpsTest, AHeadlineSourceThatIsNeitherHostNorWebAddressIsRefused)
{
    for (const char* value : {"ftp://example.org/feed.xml", "example.org/feed.xml", "two words"}) {
        SCOPED_TRACE(value);
        ops->Form_Load();
        box("Check1")->setChecked(false);
        bar("TimeScroll")->setValue(7);
        control<QLineEdit>("TxtNewsHost")->setText(QString::fromLatin1(value));
        press(2);

        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].icon, QMessageBox::Warning);
        EXPECT_EQ(messages[0].title, "Not Saved");
        EXPECT_TRUE(messages[0].text.contains("Headlines from:"));
        messages.clear();
        // Nothing at all was saved, and the values in use are untouched.
        EXPECT_TRUE(storedKeys().isEmpty());
        EXPECT_TRUE(settings.Loops);
        EXPECT_EQ(settings.ManyTime, 4);
    }
}

// The host's check box and the crossfade box show and save their settings,
// in free places of the window: they cover no other control.
TEST_F(OpsTest, HostAndCrossfadeControlsLoadSaveAndCoverNothing)
{
    settings.HostKnowsMusic = true;
    settings.Crossfade = 7;
    ops->Form_Load();
    auto* fade = control<QSpinBox>("CrossfadeBox");
    EXPECT_TRUE(box("Check10")->isChecked());
    EXPECT_EQ(fade->value(), 7);
    EXPECT_EQ(fade->maximum(), 10);

    box("Check10")->setChecked(false);
    fade->setValue(3);
    press(2);
    EXPECT_FALSE(settings.HostKnowsMusic);
    EXPECT_EQ(settings.Crossfade, 3);
    EXPECT_EQ(stored("HostKnowsMusic"), "False");
    EXPECT_EQ(stored("Crossfade"), "3");

    // A control and its caption sit side by side.
    const std::set<std::pair<QString, QString>> pairs{
        {QStringLiteral("Check10"), QStringLiteral("Label3_6")},
        {QStringLiteral("CrossfadeBox"), QStringLiteral("LblCrossfade")}};
    const auto together = [&pairs](const QString& a, const QString& b) {
        return pairs.contains({a, b}) || pairs.contains({b, a});
    };
    for (const char* added : {"Check10", "Label3_6", "CrossfadeBox", "LblCrossfade"}) {
        const QWidget* mine = control<QWidget>(added);
        for (const QWidget* other : ops->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other == mine || !other->isVisibleTo(ops.get()) ||
                other->objectName().startsWith(QLatin1String("Fades")) ||
                other->objectName().startsWith(QLatin1String("VideoSoftElastic")) ||
                together(mine->objectName(), other->objectName())) {
                continue;
            }
            EXPECT_FALSE(mine->geometry().intersects(other->geometry()))
                << added << " covers " << other->objectName().toStdString();
        }
    }
}

// "Broadcast to:" and its status sit in free space: no control moved for
// them, none is covered by them. Without a broadcast to reach the box is off.
TEST_F(OpsTest, BroadcastToSitsInFreeSpaceWithItsStatus)
{
    ops->Form_Load();
    EXPECT_EQ(text("LblBroadcast"), "Broadcast to:");
    EXPECT_EQ(text("LblBroadcastStatus"), "off");
    auto* target = control<QLineEdit>("TxtBroadcast");
    EXPECT_FALSE(target->isEnabled());
    const std::set<QString> mine{"TxtBroadcast", "LblBroadcast", "LblBroadcastStatus"};
    for (const QString& name : mine) {
        QWidget* widget = control<QWidget>(name.toLatin1().constData());
        EXPECT_TRUE(ops->rect().contains(widget->geometry())) << name.toStdString();
        for (QWidget* other : ops->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (mine.count(other->objectName()) > 0 || other->objectName() == "VideoSoftElastic1") {
                continue;
            }
            EXPECT_FALSE(widget->geometry().intersects(other->geometry()))
                << name.toStdString() << " covers " << other->objectName().toStdString();
        }
    }
}

// Save refuses an address it cannot use before anything is written; a good
// one is kept in the broadcast's own file and sent to, and the status shows
// how that goes.
TEST_F(OpsTest, BroadcastToIsKeptOnSaveAndShowsHowItStands)
{
    AudioEngine engine(AudioEngine::Options{.output = AudioEngine::Output::Unpaced});
    Broadcast broadcast(engine, QStringLiteral("Station"));
    BroadcastStore store;
    BroadcastSetting setting(store, broadcast);
    ops->setBroadcastSetting(&setting);
    ops->Form_Load();
    auto* target = control<QLineEdit>("TxtBroadcast");
    EXPECT_TRUE(target->isEnabled());
    EXPECT_EQ(target->text(), QString());

    target->setText(QStringLiteral("icecast://source:pw@127.0.0.1:1/radio.wma"));
    press(2);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Not Saved");
    EXPECT_TRUE(messages[0].text.startsWith("Broadcast to: ")) << messages[0].text.toStdString();
    EXPECT_TRUE(storedKeys().isEmpty());
    EXPECT_EQ(store.address(), QString());
    EXPECT_FALSE(broadcast.started());

    const QString address = QStringLiteral("icecast://source:pw@127.0.0.1:1/radio.mp3");
    target->setText(address);
    press(2);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(store.address(), address);
    EXPECT_TRUE(broadcast.started());
    // Nobody listens on port 1: it says so beside the box.
    EXPECT_TRUE(testing_support::waitUntil(
        [&] { return text("LblBroadcastStatus").startsWith("retrying"); }, std::chrono::seconds(5)))
        << text("LblBroadcastStatus").toStdString();

    ops->Form_Load();
    EXPECT_EQ(target->text(), address);
}

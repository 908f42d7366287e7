// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/Tolvar.h"

#include "common/AccessibilityAudit.h"
#include "common/FakeRadio.h"
#include "common/StoredSettings.h"
#include "common/TestSupport.h"
#include "ui/Gauge.h"
#include "ui/PanelButton.h"
#include "ui/TwipsScale.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;

using stored_settings::store;
using stored_settings::stored;

namespace {
class TolvarTest : public ::testing::Test, protected FakeRadio {
protected:
    Tolvar& open()
    {
        window = std::make_unique<Tolvar>(settings, random, seq, player, voice);
        window->Form_Load();
        return *window;
    }
    template <typename T>
    T* child(const QString& name)
    {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    PanelButton* command(int index)
    {
        return child<PanelButton>(QStringLiteral("Commands_%1").arg(index));
    }
    QCheckBox* box(int index) { return child<QCheckBox>(QStringLiteral("Check1_%1").arg(index)); }
    TwipsScale scale() const { return TwipsScale::forWidget(window.get()); }
    void useSongs(int count)
    {
        QStringList songs;
        for (int i = 1; i <= count; ++i) {
            songs << QStringLiteral("/music/%1.mp3").arg(i);
        }
        playlist.accept(songs);
    }

    std::unique_ptr<Tolvar> window;
};

void pressOn(QWidget* widget, Qt::MouseButton button)
{
    QTest::mousePress(widget, button, Qt::NoModifier, QPoint(2, 2));
    QTest::mouseRelease(widget, button, Qt::NoModifier, QPoint(2, 2));
}
}  // namespace

TEST_F(TolvarTest, FreshStartShowsTheDefaultsAndWritesNothing)
{
    Tolvar& w = open();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Tolvar MP3 Radio"));
    EXPECT_EQ(w.objectName(), QStringLiteral("Tolvar"));
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(box(0)->isChecked());
    EXPECT_FALSE(box(1)->isChecked());
    EXPECT_EQ(w.size(), scale().size(5040, 340));
    EXPECT_EQ(playlist.SongIndex(), 1);
    EXPECT_TRUE(player.calls.contains(QStringLiteral("SetAutoRepeat 1")));
    EXPECT_EQ(voice.calls.mid(0, 2),
              QStringList({QStringLiteral("selectEngine 1"), QStringLiteral("setSpeed 165")}));
    EXPECT_FALSE(QFile::exists(sandbox.settingsFile()));
}

TEST_F(TolvarTest, ControlsCarryTheirNamesTextsAndPlaces)
{
    open();
    const QStringList tips = {
        QStringLiteral("Forward"),       QStringLiteral("Pause"),
        QStringLiteral("Play"),          QStringLiteral("Stop"),
        QStringLiteral("Reverse"),       QStringLiteral("Create playlist and set options."),
        QStringLiteral("Exit ZA3-Revez")};
    for (int i = 0; i < 7; ++i) {
        PanelButton* button = command(i);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->toolTip(), tips.at(i));
        EXPECT_EQ(button->index(), i);
        EXPECT_EQ(button->picture().isNull(), i >= 5) << i;
    }
    EXPECT_TRUE(command(2)->text().isEmpty());
    EXPECT_EQ(command(5)->text(), QStringLiteral("Playlist"));
    EXPECT_EQ(command(6)->text(), QStringLiteral("Close"));
    EXPECT_EQ(command(5)->geometry(), scale().rect(3495, 0, 735, 270));
    EXPECT_EQ(command(4)->geometry(), scale().rect(1800, 0, 405, 270));
    EXPECT_EQ(child<QLabel>(QStringLiteral("Label1_0"))->text(), QStringLiteral("Time"));
    EXPECT_EQ(child<QLabel>(QStringLiteral("Label1_1"))->text(), QStringLiteral("News"));
    EXPECT_EQ(box(1)->geometry(), scale().rect(2880, 30, 175, 175));
    EXPECT_EQ(child<Gauge>(QStringLiteral("Gauge"))->geometry(), scale().rect(0, 285, 5055, 90));
    // The playback tick belongs to the sequencer the window drives.
    EXPECT_EQ(seq.progressTimer().objectName(), QStringLiteral("Timer1"));
    EXPECT_EQ(seq.progressTimer().interval(), 100);
    EXPECT_FALSE(seq.progressTimer().isActive()) << "an idle radio does not tick";
}

TEST_F(TolvarTest, StoredSettingsShapeTheWindowFromTheStart)
{
    store(QStringLiteral("Progressbar"), QStringLiteral("True"));
    store(QStringLiteral("MakeItTop"), QStringLiteral("False"));
    store(QStringLiteral("NowTime"), QStringLiteral("False"));
    Tolvar& w = open();
    EXPECT_EQ(w.size(), scale().size(5040, 300));
    EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(box(0)->isChecked());
    EXPECT_FALSE(settings.NowTime);
}

TEST_F(TolvarTest, DocksAtTheBottomRightOfTheWorkArea)
{
    Tolvar& w = open();
    const QRect workArea(100, 40, 1200, 700);
    w.PlaceWindow(workArea);
    const int width = scale().x(5040);
    EXPECT_EQ(w.pos(), QPoint(1300 - width, 740 - scale().y(350)));

    // The other height moves the strip so that the same gap stays below it.
    settings.Progressbar = true;
    w.PlaceWindow(workArea);
    EXPECT_EQ(w.height(), scale().y(300));
    EXPECT_EQ(w.pos(), QPoint(1300 - width, 740 - scale().y(310)));
}

TEST_F(TolvarTest, StayingOnTopFollowsTheSettingWhenPlacedAgain)
{
    Tolvar& w = open();
    w.show();
    settings.MakeItTop = false;
    w.PlaceWindow();
    EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.isVisible());
    settings.MakeItTop = true;
    w.PlaceWindow();
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.isVisible());
}

TEST_F(TolvarTest, ARightClickOnPanelOrLabelDocksTheWindowAgain)
{
    Tolvar& w = open();
    w.show();
    const QRect workArea = w.screen()->availableGeometry();
    const QPoint corner(workArea.right() + 1 - w.width(), workArea.bottom() + 1 - scale().y(350));
    ASSERT_EQ(w.pos(), corner);

    w.move(5, 5);
    pressOn(child<QWidget>(QStringLiteral("VideoSoftElastic1")), Qt::RightButton);
    EXPECT_EQ(w.pos(), corner);

    w.move(7, 9);
    settings.Progressbar = true;  // a changed setting takes effect now
    pressOn(child<QLabel>(QStringLiteral("Label1_1")), Qt::RightButton);
    EXPECT_EQ(w.height(), scale().y(300));
    EXPECT_EQ(w.pos().x(), corner.x());
}

TEST_F(TolvarTest, ALeftPressOnALabelDragsTheWindow)
{
    Tolvar& w = open();
    w.show();
    w.move(300, 300);
    auto* label = child<QLabel>(QStringLiteral("Label1_0"));
    const QPoint inside(3, 3);
    QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, inside);
    const QPointF global = label->mapToGlobal(QPointF(inside)) + QPointF(40, -25);
    QMouseEvent move(QEvent::MouseMove, label->mapFromGlobal(global), global, Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(label, &move);
    EXPECT_EQ(w.pos(), QPoint(340, 275));
    QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier,
                        label->mapFromGlobal(global.toPoint()));
}

TEST_F(TolvarTest, EitherBoxStoresBothSwitches)
{
    open();
    box(0)->click();
    EXPECT_FALSE(settings.NowTime);
    EXPECT_EQ(stored(QStringLiteral("NowTime")), QStringLiteral("False"));
    EXPECT_EQ(stored(QStringLiteral("NowNews")), QStringLiteral("False"));

    box(1)->click();
    EXPECT_TRUE(settings.NowNews);
    EXPECT_EQ(stored(QStringLiteral("NowTime")), QStringLiteral("False"));
    EXPECT_EQ(stored(QStringLiteral("NowNews")), QStringLiteral("True"));
}

TEST_F(TolvarTest, AStoredSwitchThatChangesABoxIsWrittenBack)
{
    store(QStringLiteral("NowNews"), QStringLiteral("1"));
    open();
    EXPECT_TRUE(box(1)->isChecked());
    EXPECT_EQ(stored(QStringLiteral("NowTime")), QStringLiteral("True"));
    EXPECT_EQ(stored(QStringLiteral("NowNews")), QStringLiteral("True"));
}

TEST_F(TolvarTest, TransportButtonsDriveTheSequencer)
{
    open();
    useSongs(3);
    settings.FlushBack = false;
    command(2)->click();
    EXPECT_EQ(player.openedPath, QStringLiteral("/music/1.mp3"));
    command(0)->click();
    EXPECT_EQ(player.openedPath, QStringLiteral("/music/2.mp3"));
    command(4)->click();
    command(4)->click();
    EXPECT_EQ(player.openedPath, QStringLiteral("/music/3.mp3"));
    command(1)->click();
    EXPECT_TRUE(seq.paused());
    EXPECT_EQ(player.calls.last(), QStringLiteral("PauseMPEG"));
    command(3)->click();
    EXPECT_FALSE(seq.Playing());
    EXPECT_EQ(player.calls.last(), QStringLiteral("StopMPEG"));
}

TEST_F(TolvarTest, EveryControlIsNamedForScreenReaders)
{
    Tolvar& w = open();
    const auto controls = accessibility_audit::controls(&w);
    EXPECT_EQ(controls.size(), 10u) << accessibility_audit::listing(controls).toStdString();
    EXPECT_EQ(accessibility_audit::unnamed(controls), QStringList())
        << accessibility_audit::listing(controls).toStdString();
    // The picture buttons take the names of their tooltips' actions.
    const char* names[] = {"Forward", "Pause", "Play", "Stop", "Reverse", "Playlist", "Close"};
    for (int i = 0; i < 7; ++i) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(command(i));
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->text(QAccessible::Name), QString::fromLatin1(names[i]));
        EXPECT_EQ(face->role(), QAccessible::Button);
    }
}

TEST_F(TolvarTest, TabWalksTheStripFromLeftToRightAndSpacePressesAButton)
{
    Tolvar& w = open();
    useSongs(3);
    settings.FlushBack = false;
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    command(0)->setFocus(Qt::TabFocusReason);
    QStringList walked{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(walked,
              QStringList({"Commands_0", "Commands_1", "Commands_2", "Commands_3", "Commands_4",
                           "Check1_0", "Check1_1", "Commands_5", "Commands_6"}));

    // Back to Play, and Space plays; Forward skips; Space on a switch flips it.
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    }
    ASSERT_EQ(QApplication::focusWidget(), command(2));
    QTest::keyClick(command(2), Qt::Key_Space);
    EXPECT_EQ(player.openedPath, QStringLiteral("/music/1.mp3"));
    QTest::keyClick(command(0), Qt::Key_Space);
    EXPECT_EQ(player.openedPath, QStringLiteral("/music/2.mp3"));
    box(1)->setFocus(Qt::TabFocusReason);
    const bool news = box(1)->isChecked();
    QTest::keyClick(box(1), Qt::Key_Space);
    EXPECT_NE(box(1)->isChecked(), news);
    // A click leaves the keyboard focus where it was.
    pressOn(command(3), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), box(1));
}

TEST_F(TolvarTest, TheGaugeFollowsTheTicks)
{
    open();
    player.percent = 37;
    seq.showProgress();
    EXPECT_EQ(child<Gauge>(QStringLiteral("Gauge"))->percent(), 37);
}

TEST_F(TolvarTest, AnAcceptedPlaylistStartsWithTheIntro)
{
    Tolvar& w = open();
    settings.FlushBack = false;
    voice.calls.clear();
    w.setPlaylistOpener([this] {
        EXPECT_EQ(voice.calls, QStringList({QStringLiteral("stop")}));
        useSongs(2);
        return playlist.ListAccepted();
    });
    command(5)->click();
    EXPECT_EQ(announcer.calls, QStringList({QStringLiteral("intro")}));
    EXPECT_EQ(player.openedPath, QStringLiteral("/music/1.mp3"));
    EXPECT_TRUE(seq.Playing());

    // Cancelled: nothing new starts.
    announcer.calls.clear();
    player.calls.clear();
    w.setPlaylistOpener([this] {
        playlist.decline();
        return playlist.ListAccepted();
    });
    command(5)->click();
    EXPECT_TRUE(announcer.calls.isEmpty());
    EXPECT_TRUE(player.calls.filter(QStringLiteral("OpenMPEG")).isEmpty());
}

TEST_F(TolvarTest, LeavingThePlaylistWindowWithNothingToPlayStartsNothingAndSaysNothing)
{
    struct Case {
        const char* name;
        bool earlierList;
        // What the playlist window did: accept an empty list, or save one
        // (which sets ListAccepted) and be closed.
        bool saved;
    };
    for (const Case& c : {Case{"first start, empty Accept", false, false},
                          Case{"empty Accept after an earlier list", true, false},
                          Case{"first start, Save then close", false, true}}) {
        SCOPED_TRACE(c.name);
        AcceptedPlaylist fresh;
        Sequencer sequencer{settings, fresh, random, player, voice, announcer};
        Tolvar w{settings, random, seq, player, voice};
        if (c.earlierList) {
            fresh.accept({QStringLiteral("/music/old.mp3")});
        }
        announcer.calls.clear();
        player.calls.clear();
        voice.calls.clear();
        w.setPlaylistOpener([&] {
            if (c.saved) {
                fresh.setListAccepted(true);
            } else {
                fresh.accept({});
            }
            return fresh.ListAccepted();
        });
        w.Commands_Click(5);
        testing_support::pumpFor(20ms);
        EXPECT_TRUE(announcer.calls.isEmpty());
        EXPECT_EQ(voice.calls, QStringList{QStringLiteral("stop")});
        EXPECT_TRUE(player.calls.filter(QStringLiteral("OpenMPEG")).isEmpty());
        EXPECT_FALSE(seq.Playing());
    }
}

TEST_F(TolvarTest, PlaylistAndSwitchesWaitForTheVoiceLikeTheTransportButtons)
{
    Tolvar& w = open();
    settings.FlushBack = false;
    settings.ManyTime = 1;
    ASSERT_TRUE(settings.NowTime);
    useSongs(3);
    seq.PlayIt();
    endSong();
    ASSERT_TRUE(seq.holding());
    voice.calls.clear();
    QStringList order;
    w.setPlaylistOpener([&] {
        order << QStringLiteral("playlist after ") + player.openedPath;
        testing_support::pumpFor(50ms);  // the window's own loop
        return false;
    });

    box(0)->click();  // Time off, while the time is being announced
    command(5)->click();
    command(5)->click();  // pressed twice, opened once
    EXPECT_TRUE(settings.NowTime);
    EXPECT_TRUE(order.isEmpty());
    EXPECT_TRUE(voice.calls.isEmpty()) << "the announcer was cut";

    voice.finishSpeaking();
    ASSERT_TRUE(testing_support::waitUntil([&] { return !order.isEmpty(); }, 2s));
    // The switch still counted for this song end, and the playlist window
    // opened once the next song had started.
    EXPECT_TRUE(voice.calls.contains(QStringLiteral("speak And now,  back to the music.")));
    EXPECT_FALSE(settings.NowTime);
    EXPECT_EQ(order, QStringList{QStringLiteral("playlist after /music/2.mp3")});
}

TEST_F(TolvarTest, CloseIsNeverHeld)
{
    Tolvar& w = open();
    w.show();
    settings.ManyTime = 1;
    useSongs(2);
    seq.PlayIt();
    endSong();
    ASSERT_TRUE(seq.holding());
    command(6)->click();
    EXPECT_FALSE(w.isVisible());
}

TEST_F(TolvarTest, CloseStopsEverythingAndClosesEveryWindow)
{
    Tolvar& w = open();
    w.show();
    QWidget other;
    other.setObjectName(QStringLiteral("Ops"));
    other.show();
    QStringList order;
    w.setWindowUnloader([&] { order << QStringLiteral("unload"); });
    useSongs(2);
    settings.ManyTime = 1;
    seq.PlayIt();
    endSong();
    ASSERT_TRUE(seq.waitingForVoice());
    player.calls.clear();
    voice.calls.clear();

    command(6)->click();
    EXPECT_EQ(player.calls, QStringList({QStringLiteral("StopMPEG"), QStringLiteral("StopMPEG"),
                                         QStringLiteral("CloseMPEG")}));
    EXPECT_EQ(voice.calls, QStringList({QStringLiteral("stop")}));
    EXPECT_EQ(order, QStringList({QStringLiteral("unload")}));
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(other.isVisible());
    // Nothing starts after the voice falls silent.
    voice.finishSpeaking();
    testing_support::pumpFor(100ms);
    EXPECT_FALSE(player.calls.contains(QStringLiteral("OpenMPEG /music/2.mp3 MPEGVideo")));
}

TEST_F(TolvarTest, AClosingByThePlatformStopsAndClosesThePlayer)
{
    Tolvar& w = open();
    w.show();
    player.calls.clear();
    w.close();
    EXPECT_EQ(player.calls, QStringList({QStringLiteral("StopMPEG"), QStringLiteral("CloseMPEG")}));
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/BusyCursor.h"
#include "base/RandomSource.h"
#include "common/AccessibilityAudit.h"
#include "common/FakeMpegPlayer.h"
#include "common/FakeSpeechEngine.h"
#include "common/TestSupport.h"
#include "playback/AcceptedPlaylist.h"
#include "playlist/PlaylistVoice.h"
#include "playlist/ScriptedPrompter.h"
#include "playlistwindow/Playlist.h"
#include "playlistwindow/PlaylistWindowHost.h"
#include "settings/RadioSettings.h"
#include "ui/PulsingLight.h"
#include "ui/TwipsScale.h"
#include "ui/WindowDrag.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

namespace {

void writeFile(const QString& path, const QByteArray& bytes = "x")
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class PlaylistWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"b.mp3", "a.wav", "c.midi", "notes.txt"}) {
            writeFile(rock.filePath(QString::fromLatin1(name)));
        }
        for (const char* name : {"x.MP3", "y.mp2"}) {
            writeFile(jazz.filePath(QString::fromLatin1(name)));
        }
        window = makeWindow();
        window->show();
    }

    std::unique_ptr<Playlist> makeWindow()
    {
        PlaylistWindowLinks links;
        links.playIt = [this] { played << playlist.SongFile(); };
        links.showTagEditor = [this](const QString& tagFile) {
            tagFiles << tagFile;
            busyWhileTagging = QApplication::overrideCursor() != nullptr;
        };
        links.showOptions = [this] { ++optionsShown; };
        links.openUrl = [this](const QUrl& url) { opened << url; };
        return std::make_unique<Playlist>(playlist, speech, player, prompter,
                                          PlaylistStore(playlists.path()), links);
    }

    template <typename T>
    T* child(const QString& name) const
    {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QPushButton* command(int index) const
    {
        return child<QPushButton>(QStringLiteral("CmdPlaylist_%1").arg(index));
    }
    void click(int index) const { QTest::mouseClick(command(index), Qt::LeftButton); }
    void clickWidget(const QString& name) const
    {
        QWidget* widget = child<QWidget>(name);
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
    }
    QListView* list(const char* name) const { return child<QListView>(QString::fromLatin1(name)); }
    QComboBox* combo1() const { return child<QComboBox>(QStringLiteral("Combo1")); }

    QStringList shown(const char* name) const
    {
        QStringList out;
        const QAbstractItemModel* model = list(name)->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            out << model->index(row, 0).data().toString();
        }
        return out;
    }
    void highlightInList1(std::initializer_list<int> rows) const
    {
        QListView* view = list("List1");
        view->clearSelection();
        for (const int row : rows) {
            view->selectionModel()->select(view->model()->index(row, 0),
                                           QItemSelectionModel::Select);
        }
    }
    QPoint entryPoint(int row) const
    {
        QListView* view = list("List2");
        return view->visualRect(view->model()->index(row, 0)).center();
    }
    void clickEntry(int row) const
    {
        QTest::mouseClick(list("List2")->viewport(), Qt::LeftButton, {}, entryPoint(row));
    }
    void doubleClickEntry(int row) const
    {
        clickEntry(row);
        QTest::mouseDClick(list("List2")->viewport(), Qt::LeftButton, {}, entryPoint(row));
    }
    QString rockPath(const char* name) const { return rock.path() + "/" + QLatin1String(name); }
    QString jazzPath(const char* name) const { return jazz.path() + "/" + QLatin1String(name); }

    testing_support::SettingsSandbox sandbox;
    QTemporaryDir playlists;
    QTemporaryDir rock;
    QTemporaryDir jazz;
    AcceptedPlaylist playlist;
    FakeSpeechEngine speech;
    FakeMpegPlayer player;
    ScriptedPrompter prompter;
    QStringList played;
    QStringList tagFiles;
    bool busyWhileTagging = false;
    int optionsShown = 0;
    QList<QUrl> opened;
    std::unique_ptr<Playlist> window;
};

}  // namespace

TEST_F(PlaylistWindowTest, ControlsSitWhereTheLayoutPutsThemWithTheirTexts)
{
    const TwipsScale scale = TwipsScale::forWidget(window.get());
    EXPECT_EQ(window->size(), scale.size(7545, 4365));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));

    const QStringList captions{"Accept",  "Load Playlist", "Save Playlist", "ID Tag", "Help",
                               "Options", "Remove",        "About",         "Cancel", "Clear"};
    const QStringList tips{"Play selected music.",
                           "Load Playlist.",
                           "Save Playlist.",
                           "Read - Write MP3 ID-Tag.",
                           "Voice Help.",
                           "Select options.",
                           "Remove file from playlist.",
                           "About, and Sivrel",
                           "Cancel playlist.",
                           "Clear playlist."};
    const QList<QRect> places{scale.rect(5220, 3870, 735, 315),  scale.rect(6030, 2520, 1095, 315),
                              scale.rect(4860, 2520, 1095, 315), scale.rect(990, 3870, 645, 315),
                              scale.rect(4860, 3150, 1095, 315), scale.rect(6030, 3150, 1095, 315),
                              scale.rect(180, 3870, 735, 315),   scale.rect(6820, 45, 495, 225),
                              scale.rect(6030, 3870, 735, 315),  scale.rect(1710, 3870, 645, 315)};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(command(i)->text(), captions.at(i));
        EXPECT_EQ(command(i)->toolTip(), tips.at(i));
        EXPECT_EQ(command(i)->geometry(), places.at(i)) << i;
    }

    const QStringList labels{"MP3 Files", "MP3 Playlists", "Folders", "Create MP3 Playlist"};
    for (int i = 0; i < 4; ++i) {
        auto* label = child<QLabel>(QStringLiteral("Label2_%1").arg(i));
        EXPECT_EQ(label->text(), labels.at(i));
        const QImage picture = label->grab().toImage();
        EXPECT_EQ(picture.pixelColor(picture.width() - 1, 0), QColor(0x66, 0x66, 0x66));
    }
    EXPECT_EQ(child<QLabel>(QStringLiteral("Label2_1"))->toolTip(),
              QStringLiteral("Select or enter new playlist name."));
    EXPECT_EQ(child<QLabel>(QStringLiteral("Label3_0"))->text(), QStringLiteral("All"));
    EXPECT_EQ(child<QLabel>(QStringLiteral("Label3_1"))->text(), QStringLiteral("Selected"));
    EXPECT_EQ(child<QWidget>(QStringLiteral("All"))->toolTip(),
              QStringLiteral("Select all songs."));
    EXPECT_EQ(child<QWidget>(QStringLiteral("MoveHighlight"))->toolTip(),
              QStringLiteral("Only files highlighted."));
    EXPECT_EQ(child<QWidget>(QStringLiteral("List2"))->geometry(),
              scale.rect(180, 1980, 4290, 1665));
    EXPECT_EQ(child<QWidget>(QStringLiteral("List1"))->geometry(),
              scale.rect(2250, 270, 5055, 1485));
    EXPECT_EQ(child<QWidget>(QStringLiteral("Fades_0"))->parentWidget()->geometry(),
              scale.rect(7020, 4050, 255, 45));
    EXPECT_EQ(list("List1")->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(list("List2")->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_TRUE(list("List2")->uniformItemSizes());
    EXPECT_EQ(combo1()->currentText(), QStringLiteral("(playlist name)"));
    EXPECT_EQ(player.calls, QStringList{QStringLiteral("SetAutoRepeat 1")});
}

// The captions of the All and Selected panels are drawn inside the panels'
// borders, whole, whatever their font.
TEST_F(PlaylistWindowTest, MovePanelCaptionsStayInsideTheirBorders)
{
    const std::pair<const char*, const char*> panels[] = {{"All", "Label3_0"},
                                                          {"MoveHighlight", "Label3_1"}};
    for (const auto& [panelName, captionName] : panels) {
        const QWidget* panel = child<QWidget>(QString::fromLatin1(panelName));
        const QLabel* caption = child<QLabel>(QString::fromLatin1(captionName));
        ASSERT_EQ(caption->parentWidget(), panel);
        const QRect inside = panel->rect().adjusted(1, 1, -1, -1);
        EXPECT_TRUE(inside.contains(caption->geometry())) << captionName;
        const QRect text = caption->fontMetrics().boundingRect(caption->text());
        EXPECT_LE(text.width(), caption->contentsRect().width()) << captionName;
        EXPECT_TRUE(caption->alignment().testFlag(Qt::AlignHCenter)) << captionName;
    }
}

TEST_F(PlaylistWindowTest, EveryControlIsNamedForScreenReadersAndTabFollowsTheLayout)
{
    const auto controls = accessibility_audit::controls(window.get());
    const std::string all = accessibility_audit::listing(controls).toStdString();
    // Drive, folders, two lists, two panels, the name box, ten buttons, two ads.
    EXPECT_EQ(controls.size(), 19u) << all;
    EXPECT_EQ(accessibility_audit::unnamed(controls), QStringList()) << all;

    EXPECT_EQ(
        accessibility_audit::tabWalk(window.get(), child<QWidget>(QStringLiteral("Drive1")), 14),
        QStringList({"Drive1", "Dir1", "List1", "List2", "Combo1", "CmdPlaylist_2", "CmdPlaylist_1",
                     "CmdPlaylist_4", "CmdPlaylist_5", "CmdPlaylist_6", "CmdPlaylist_3",
                     "CmdPlaylist_9", "CmdPlaylist_0", "CmdPlaylist_8", "CmdPlaylist_7"}));
}

TEST_F(PlaylistWindowTest, AdvertisementImagesAreTheirOwnPicturesAndAlternate)
{
    for (int i = 0; i < 2; ++i) {
        auto* image = child<QLabel>(QStringLiteral("ads_%1").arg(i));
        EXPECT_EQ(image->toolTip(), QStringLiteral("Click Me!"));
        EXPECT_EQ(image->pixmap().size(), QSize(86, 28));
        EXPECT_TRUE(image->hasScaledContents());
    }
    QImageReader gif(QStringLiteral(":/playlist/ads0.gif"));
    EXPECT_EQ(gif.format(), QByteArray("gif"));
    EXPECT_EQ(gif.size(), QSize(86, 28));
    QFile bmp(QStringLiteral(":/playlist/ads1.bmp"));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    const QByteArray header = bmp.read(30);
    EXPECT_TRUE(header.startsWith("BM"));
    EXPECT_EQ(static_cast<int>(header.at(28)), 24);

    auto* timer = child<QTimer>(QStringLiteral("Timer2"));
    EXPECT_EQ(timer->interval(), 6000);
    EXPECT_TRUE(timer->isActive());
    QWidget* parent = child<QWidget>(QStringLiteral("ads_0"))->parentWidget();
    const auto front = [parent] {
        const int a = parent->children().indexOf(parent->findChild<QWidget*>("ads_0"));
        const int b = parent->children().indexOf(parent->findChild<QWidget*>("ads_1"));
        return a > b ? 0 : 1;
    };
    QList<int> fronts;
    for (int i = 0; i < 4; ++i) {
        QMetaObject::invokeMethod(timer, "timeout");
        fronts << front();
    }
    EXPECT_EQ(fronts, (QList<int>{0, 1, 0, 1}));
}

TEST_F(PlaylistWindowTest, FirstOpeningListsNoFilesUntilAFolderOpens)
{
    EXPECT_TRUE(shown("List1").isEmpty());
    EXPECT_FALSE(shown("Dir1").isEmpty());
    ASSERT_TRUE(window->openFolder(rock.path()));
    EXPECT_EQ(shown("List1"), (QStringList{"a.wav", "b.mp3", "c.midi"}));
    EXPECT_EQ(shown("Dir1").last().trimmed(), QDir(rock.path()).dirName());
    // An unreadable folder leaves the list as it was.
    EXPECT_FALSE(window->openFolder(rock.filePath(QStringLiteral("missing"))));
    EXPECT_EQ(shown("List1").size(), 3);
}

TEST_F(PlaylistWindowTest, FilesFromTwoFoldersKeepTheirFoldersThroughAccept)
{
    window->openFolder(rock.path());
    highlightInList1({0, 2});
    clickWidget(QStringLiteral("MoveHighlight"));
    EXPECT_EQ(list("List1")->selectionModel()->selectedRows().size(), 2);
    window->openFolder(jazz.path());
    // The label does what its panel does.
    highlightInList1({1});
    clickWidget(QStringLiteral("Label3_1"));

    EXPECT_EQ(shown("List2"), (QStringList{"a.wav", "c.midi", "y.mp2"}));
    click(Playlist::Accept);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(playlist.ListAccepted());
    EXPECT_EQ(playlist.SongList(),
              (QStringList{rockPath("a.wav"), rockPath("c.midi"), jazzPath("y.mp2")}));
    EXPECT_EQ(playlist.SongCount(), 3);
    EXPECT_EQ(playlist.SongFile(), rockPath("a.wav"));
}

TEST_F(PlaylistWindowTest, AllAppendsTheWholeFolderAfterEarlierMoves)
{
    window->openFolder(jazz.path());
    highlightInList1({1});
    clickWidget(QStringLiteral("MoveHighlight"));
    window->openFolder(rock.path());
    clickWidget(QStringLiteral("Label3_0"));
    EXPECT_EQ(shown("List2"), (QStringList{"y.mp2", "a.wav", "b.mp3", "c.midi"}));
    clickWidget(QStringLiteral("All"));
    EXPECT_EQ(shown("List2").size(), 7);
    EXPECT_EQ(window->builder().playlist().paths().at(4), rockPath("a.wav"));
}

TEST_F(PlaylistWindowTest, FilesAtTheRootGetADoubledSeparator)
{
    window->builder().listFolder(QStringLiteral("/"));
    window->builder().folderFiles().setStringList({QStringLiteral("root.mp3")});
    clickWidget(QStringLiteral("All"));
    EXPECT_EQ(window->builder().playlist().paths(), QStringList{QStringLiteral("//root.mp3")});
    EXPECT_EQ(shown("List2"), QStringList{QStringLiteral("root.mp3")});
}

TEST_F(PlaylistWindowTest, AcceptWithNothingKeepsThePreviousPlaylist)
{
    playlist.accept({QStringLiteral("/old/1.mp3"), QStringLiteral("/old/2.mp3")});
    playlist.setSongFile(QStringLiteral("/old/2.mp3"));
    playlist.setSongIndex(2);
    click(Playlist::Accept);
    EXPECT_FALSE(window->isVisible());
    // Nothing to start: the main window starts nothing and says nothing.
    EXPECT_FALSE(playlist.ListAccepted());
    EXPECT_EQ(playlist.SongList().size(), 2);
    EXPECT_EQ(playlist.SongCount(), 2);
    EXPECT_EQ(playlist.SongFile(), QStringLiteral("/old/2.mp3"));
    EXPECT_EQ(playlist.SongIndex(), 2);
}

// Whatever started the list that plays (the command line, the demo station,
// the desktop), the window shows it when it opens; a list the user left in
// the window stays while nothing else started.
TEST_F(PlaylistWindowTest, OpeningShowsTheListThatPlays)
{
    const QStringList started{QStringLiteral("/radio/one.mp3"), QStringLiteral("/radio/two.wav")};
    struct Case {
        const char* what;
        // Runs with the window hidden; the list it must show when reopened.
        std::function<QStringList()> meanwhile;
    };
    const std::vector<Case> cases{
        {"a list started from outside",
         [&] {
             playlist.accept(started);
             return started;
         }},
        {"the user's list handed over, then one from outside",
         [&] {
             window->show();
             window->openFolder(jazz.path());
             clickWidget(QStringLiteral("All"));
             click(Playlist::Accept);
             playlist.accept(started);
             return started;
         }},
        {"the user's list, cancelled, with nothing started",
         [&] {
             window->show();
             window->openFolder(rock.path());
             clickWidget(QStringLiteral("All"));
             const QStringList built = window->builder().playlist().paths();
             click(Playlist::Cancel);
             return built;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        playlist.accept({QStringLiteral("/before/first.mp3")});
        window = makeWindow();  // made while that list plays, not shown yet
        const QStringList expected = c.meanwhile();
        window->hide();
        window->show();
        EXPECT_EQ(window->builder().playlist().paths(), expected);
        EXPECT_EQ(shown("List2").size(), expected.size());
    }
}

TEST_F(PlaylistWindowTest, SavePlaylistSetsListAcceptedWhateverTheOutcome)
{
    click(Playlist::SavePlaylist);
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked.first().text, QStringLiteral("Please enter a name to save list."));
    EXPECT_TRUE(playlist.ListAccepted());

    playlist.setListAccepted(false);
    window->openFolder(rock.path());
    clickWidget(QStringLiteral("All"));
    combo1()->setEditText(QStringLiteral("rock"));
    click(Playlist::SavePlaylist);
    EXPECT_TRUE(playlist.ListAccepted());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(QFile::exists(playlists.filePath(QStringLiteral("rock.pyl"))));

    QSignalSpy unloaded(window.get(), &Playlist::unloaded);
    window->close();
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_TRUE(playlist.ListAccepted());
}

TEST_F(PlaylistWindowTest, RemoveAsksAndTakesOnlyTheHighlightedEntry)
{
    window->openFolder(rock.path());
    clickWidget(QStringLiteral("All"));
    const Prompt question{QStringLiteral("Remove highlighted file from playlist?"),
                          QStringLiteral("Remove Song?"), PromptButtons::OkCancel, PromptIcon::Stop,
                          false};

    click(Playlist::Remove);
    EXPECT_EQ(prompter.asked, QList<Prompt>{question});
    EXPECT_EQ(shown("List2").size(), 3);

    clickEntry(1);
    prompter.answers = {PromptAnswer::Cancel};
    click(Playlist::Remove);
    EXPECT_EQ(shown("List2").size(), 3);

    click(Playlist::Remove);
    EXPECT_EQ(window->builder().playlist().paths(),
              (QStringList{rockPath("a.wav"), rockPath("c.midi")}));

    click(Playlist::Clear);
    EXPECT_TRUE(shown("List2").isEmpty());
    clickWidget(QStringLiteral("MoveHighlight"));
    EXPECT_TRUE(shown("List2").isEmpty());
    highlightInList1({0});
    clickWidget(QStringLiteral("MoveHighlight"));
    clickEntry(0);
    click(Playlist::Remove);
    EXPECT_TRUE(shown("List2").isEmpty());
    EXPECT_EQ(prompter.asked.size(), 4);
}

TEST_F(PlaylistWindowTest, RemoveLeavesNoEntryChosenThatTheUserDidNotClick)
{
    window->openFolder(rock.path());
    clickWidget(QStringLiteral("All"));
    clickEntry(0);
    ASSERT_EQ(playlist.SongFile(), rockPath("a.wav"));

    click(Playlist::Remove);
    ASSERT_EQ(shown("List2"), (QStringList{"b.mp3", "c.midi"}));
    // The entry that moved up is neither highlighted nor the current song.
    EXPECT_TRUE(list("List2")->selectionModel()->selectedRows().isEmpty());
    EXPECT_EQ(playlist.SongFile(), rockPath("a.wav"));

    // So a second Remove asks and takes nothing.
    click(Playlist::Remove);
    EXPECT_EQ(shown("List2"), (QStringList{"b.mp3", "c.midi"}));
    EXPECT_EQ(prompter.asked.size(), 2);
}

TEST_F(PlaylistWindowTest, ClickThenCancelLeavesThatSongCurrent)
{
    window->openFolder(rock.path());
    clickWidget(QStringLiteral("All"));
    playlist.setListAccepted(true);
    clickEntry(2);
    EXPECT_EQ(playlist.SongFile(), rockPath("c.midi"));
    click(Playlist::Cancel);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(playlist.ListAccepted());
    EXPECT_EQ(playlist.SongFile(), rockPath("c.midi"));
    EXPECT_TRUE(playlist.SongList().isEmpty());
}

TEST_F(PlaylistWindowTest, DoubleClickPlaysAtOnceAndKeepsTheWindowOpen)
{
    playlist.accept({QStringLiteral("/accepted.mp3")});
    playlist.decline();
    window->openFolder(rock.path());
    clickWidget(QStringLiteral("All"));
    player.calls.clear();
    doubleClickEntry(1);
    EXPECT_EQ(player.calls, QStringList{QStringLiteral("CloseMPEG")});
    EXPECT_EQ(played, QStringList{rockPath("b.mp3")});
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(playlist.SongList(), QStringList{QStringLiteral("/accepted.mp3")});
    EXPECT_EQ(playlist.SongCount(), 1);
    EXPECT_EQ(playlist.SongIndex(), 1);
    EXPECT_FALSE(playlist.ListAccepted());
}

TEST_F(PlaylistWindowTest, LoadPlaylistFillsTheListFromTheTypedName)
{
    writeFile(playlists.filePath(QStringLiteral("party.pyl")), "/m/one.mp3\r\n/m/two.mp3\r\n");
    playlist.setSongIndex(9);
    combo1()->setEditText(QStringLiteral(" party "));
    click(Playlist::LoadPlaylist);
    EXPECT_EQ(shown("List2"), (QStringList{"one.mp3", "two.mp3"}));
    EXPECT_EQ(playlist.SongIndex(), 1);
    EXPECT_EQ(playlist.SongFile(), QStringLiteral("/m/one.mp3"));
    EXPECT_TRUE(list("List2")->updatesEnabled());
}

TEST_F(PlaylistWindowTest, EnterInTheNameBoxPressesNoButton)
{
    combo1()->setFocus();
    combo1()->lineEdit()->selectAll();
    QTest::keyClicks(combo1()->lineEdit(), QStringLiteral("mix"));
    QTest::keyClick(combo1()->lineEdit(), Qt::Key_Return);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(playlist.ListAccepted());
    EXPECT_EQ(combo1()->currentText(), QStringLiteral("mix"));
    EXPECT_EQ(combo1()->count(), 0);
}

TEST_F(PlaylistWindowTest, IdTagNeedsAHighlightedEntry)
{
    click(Playlist::IdTag);
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(
        prompter.asked.first(),
        (Prompt{QStringLiteral("Move file to \"Create MP3 Playlist\" to edit tags. "
                               "Highlight file you wish to edit."),
                QStringLiteral("Information"), PromptButtons::Ok, PromptIcon::Information, false}));
    EXPECT_TRUE(tagFiles.isEmpty());

    window->openFolder(rock.path());
    clickWidget(QStringLiteral("All"));
    click(Playlist::IdTag);
    EXPECT_EQ(prompter.asked.size(), 2);
    clickEntry(1);
    click(Playlist::IdTag);
    EXPECT_EQ(tagFiles, QStringList{rockPath("b.mp3")});
    EXPECT_EQ(window->builder().TagFile(), rockPath("b.mp3"));
    EXPECT_TRUE(busyWhileTagging);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    click(Playlist::Options);
    EXPECT_EQ(optionsShown, 1);
    ShowNormalCursor();
}

TEST_F(PlaylistWindowTest, HelpCutsOffSpeechAndAboutAdvertisesAfterItsBox)
{
    speech.speak(QStringLiteral("the time"));
    click(Playlist::Help);
    EXPECT_EQ(speech.calls, (QStringList{QStringLiteral("speak the time"), QStringLiteral("stop"),
                                         QStringLiteral("speak ") + PlaylistVoice::helpText()}));

    speech.calls.clear();
    QStringList callsWhenBoxShown{QStringLiteral("<not shown>")};
    prompter.onAsk = [&](const Prompt&) { callsWhenBoxShown = speech.calls; };
    click(Playlist::About);
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked.first().title, QStringLiteral("Tolvar MP3 v1.0 Quintaviel Software"));
    EXPECT_TRUE(callsWhenBoxShown.isEmpty());
    EXPECT_EQ(speech.calls, QStringList{QStringLiteral("speak ") + PlaylistVoice::adText()});
}

TEST_F(PlaylistWindowTest, AnsweringNoToTheDownloadStillAdvertises)
{
    for (const char* name : {"ads_0", "ads_1"}) {
        prompter.answers = {PromptAnswer::No};
        speech.calls.clear();
        clickWidget(QString::fromLatin1(name));
        EXPECT_EQ(speech.calls, (QStringList{QStringLiteral("stop"),
                                             QStringLiteral("speak ") + PlaylistVoice::adText()}));
    }
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(prompter.asked.size(), 2);
    clickWidget(QStringLiteral("ads_0"));
    EXPECT_EQ(opened, QList<QUrl>{PlaylistVoice::downloadUrl()});
}

TEST_F(PlaylistWindowTest, TheLightPulsesThroughItsTwelveTickCycle)
{
    PulsingLight* light = window->fades();
    QList<int> fronts;
    for (int i = 0; i < 24; ++i) {
        light->tick();
        fronts << light->frontIndex();
        // The front label is the one painted last.
        EXPECT_EQ(light->children().last(), light->label(light->frontIndex()));
    }
    const QList<int> cycle{1, 2, 3, 4, 5, 4, 3, 2, 1, 0, 0, 0};
    EXPECT_EQ(fronts, cycle + cycle);
}

TEST_F(PlaylistWindowTest, AnUnreadableDriveFallsBackToTheOpenFolder)
{
    window->openFolder(rock.path());
    auto* drives = child<QComboBox>(QStringLiteral("Drive1"));
    const QString before = drives->currentText();
    drives->addItem(rock.filePath(QStringLiteral("no-medium")));
    emit drives->activated(drives->count() - 1);
    EXPECT_EQ(drives->currentText(), before);
    EXPECT_EQ(shown("List1").size(), 3);
}

TEST(PlaylistWindowHost, ReopeningShowsTheWindowAsItWasLeft)
{
    testing_support::SettingsSandbox sandbox;
    QTemporaryDir playlists;
    QTemporaryDir music;
    writeFile(music.filePath(QStringLiteral("song.mp3")));
    writeFile(playlists.filePath(QStringLiteral("old.pyl")), "/m/old.mp3\r\n");
    AcceptedPlaylist playlist;
    FakeSpeechEngine speech;
    FakeMpegPlayer player;
    ScriptedPrompter prompter;
    int made = 0;
    PlaylistWindowHost host([&] {
        ++made;
        return std::make_unique<Playlist>(playlist, speech, player, prompter,
                                          PlaylistStore(playlists.path()), PlaylistWindowLinks{});
    });
    QSignalSpy returned(&host, &PlaylistWindowHost::returned);

    host.open();
    Playlist* first = host.window();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(first->isModal());
    first->openFolder(music.path());
    QTest::mouseClick(first->findChild<QWidget*>("All"), Qt::LeftButton);
    auto* combo = first->findChild<QComboBox*>("Combo1");
    combo->setEditText(QStringLiteral("new"));
    QTest::mouseClick(first->findChild<QPushButton*>("CmdPlaylist_2"), Qt::LeftButton);
    QTest::mouseClick(first->findChild<QPushButton*>("CmdPlaylist_0"), Qt::LeftButton);
    EXPECT_EQ(returned.count(), 1);
    EXPECT_FALSE(first->isVisible());

    host.open();
    EXPECT_EQ(host.window(), first);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(first->builder().playlist().count(), 1);
    EXPECT_EQ(first->builder().folder(), QDir(music.path()).absolutePath());
    EXPECT_EQ(combo->currentText(), QStringLiteral("new"));
    EXPECT_EQ(first->builder().savedNames().stringList(),
              (QStringList{QStringLiteral("old"), QStringLiteral("new")}));

    // A close request from the platform unloads it; the next opening starts
    // afresh, with the list that plays.
    first->close();
    EXPECT_EQ(returned.count(), 2);
    EXPECT_TRUE(testing_support::waitUntil([&] { return host.window() == nullptr; }));
    host.open();
    EXPECT_EQ(made, 2);
    EXPECT_EQ(host.window()->builder().playlist().paths(), playlist.SongList());
    EXPECT_EQ(host.window()->builder().savedNames().stringList().size(), 2);
    host.unload();
    EXPECT_EQ(host.window(), nullptr);
}

TEST_F(PlaylistWindowTest, PressingTheBackgroundDragsTheWindowButButtonsDoNot)
{
    window->drag()->setSystemMoveAllowed(false);
    QWidget* background = child<QWidget>(QStringLiteral("VideoSoftElastic1"));
    const QPoint bare = background->mapFrom(window.get(), QPoint(window->width() / 2, 5));
    QTest::mousePress(background, Qt::RightButton, {}, bare);
    EXPECT_TRUE(window->drag()->following());
    QTest::mouseRelease(background, Qt::RightButton, {}, bare);
    EXPECT_FALSE(window->drag()->following());

    QTest::mousePress(child<QWidget>(QStringLiteral("ads_0")), Qt::LeftButton);
    EXPECT_FALSE(window->drag()->following());
    QTest::mouseRelease(child<QWidget>(QStringLiteral("ads_0")), Qt::LeftButton);
}

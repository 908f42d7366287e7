// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlistwindow/Playlist.h"

#include "audio/MpegPlayer.h"
#include "base/BusyCursor.h"
#include "playback/AcceptedPlaylist.h"
#include "playlist/FolderListing.h"
#include "playlistwindow/ClickArea.h"
#include "playlistwindow/PlaylistLayout.h"
#include "ui/PulsingLight.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>
#include <QTimer>
#include <algorithm>

namespace {
using namespace playlist_layout;

const QString kNoName = QStringLiteral("(playlist name)");

// Drawn here when the picture cannot be read (an image plugin missing).
QPixmap fallbackAd(int index)
{
    QPixmap picture(86, 28);
    picture.fill(index == 0 ? QColor(0x10, 0x18, 0x40) : QColor(0xC0, 0x40, 0x20));
    QPainter painter(&picture);
    painter.setPen(Qt::white);
    painter.drawRect(0, 0, 85, 27);
    painter.drawText(picture.rect(), Qt::AlignCenter,
                     index == 0 ? QStringLiteral("Sivrel") : QStringLiteral("Get Sivrel!"));
    return picture;
}

QPixmap adPicture(int index)
{
    const QPixmap picture(index == 0 ? QStringLiteral(":/playlist/ads0.gif")
                                     : QStringLiteral(":/playlist/ads1.bmp"));
    return picture.isNull() ? fallbackAd(index) : picture;
}

QString driveOf(const QString& folder)
{
    return QStorageInfo(folder).rootPath();
}

}  // namespace

Playlist::Playlist(AcceptedPlaylist& accepted, SpeechEngine& speech, MpegPlayer& player,
                   Prompter& prompter, PlaylistStore store, PlaylistWindowLinks links,
                   QWidget* parent)
    : RoundedDialog(parent),
      accepted_(accepted),
      player_(player),
      store_(std::move(store)),
      builder_(accepted, prompter, store_),
      voice_(speech, prompter, links.openUrl),
      links_(std::move(links))
{
    setObjectName(QStringLiteral("Playlist"));
    setWindowTitle(QStringLiteral("Playlist"));
    Form_Load();
}

Playlist::~Playlist() = default;

void Playlist::Form_Load()
{
    setSizeTwips(kWindowWidth, kWindowHeight);
    if (const QScreen* screen = this->screen()) {
        move(screen->geometry().center() - rect().center());
    }
    // The layout is made for small 8 point captions.
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    createBackground();
    createCaptions();
    createBrowsers();
    createLists();
    createMovePanels();
    createNameBox();
    createCommands();
    createAds();
    applyAccessibleTexts(this, kAccessibleTexts);
    setTabOrderByName(this, kTabOrder);
    placeFades(7020, 4050);
    SetMeUp();
    combo1_->setCurrentIndex(-1);
    combo1_->setEditText(kNoName);
    // The working folder shows, but its files are listed only once the user
    // opens a folder or changes the drive.
    if (folders_.open(QDir::currentPath())) {
        showFolder();
    }
}

void Playlist::SetMeUp()
{
    builder_.listSavedNames();
    player_.SetAutoRepeat(true);
}

void Playlist::GetFiles()
{
    list2_->setUpdatesEnabled(false);
    builder_.GetFiles(combo1_->currentText());
    list2_->setUpdatesEnabled(true);
}

void Playlist::Ad()
{
    voice_.Ad();
}

void Playlist::createBackground()
{
    background_ = new QFrame(this);
    background_->setObjectName(QStringLiteral("VideoSoftElastic1"));
    background_->setGeometry(twips(0, 0, kWindowWidth, kWindowHeight));
    background_->setStyleSheet(
        QStringLiteral("#VideoSoftElastic1 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                       "stop:0 #3a4a6a, stop:0.55 #22304a, stop:1 #101828); "
                       "border: 1px solid #8090b0; border-radius: 10px; }"));
    background_->lower();
}

void Playlist::createCaptions()
{
    for (std::size_t i = 0; i < kCaptions.size(); ++i) {
        const CaptionSpec& spec = kCaptions[i];
        auto* label = new QLabel(QString::fromUtf8(spec.text), this);
        label->setObjectName(QStringLiteral("Label2_%1").arg(i));
        label->setToolTip(QString::fromUtf8(spec.tip));
        label->setGeometry(twips(spec.at.left, spec.at.top, spec.at.width, spec.at.height));
        label->setStyleSheet(QStringLiteral("color: #ffffff; background-color: #666666;"));
        // Fonts differ from machine to machine: a caption may grow to the right
        // rather than lose its last letters.
        label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
    }
}

void Playlist::createBrowsers()
{
    drive1_ = new QComboBox(this);
    drive1_->setObjectName(QStringLiteral("Drive1"));
    drive1_->setGeometry(twips(170, 250, 1935, 315));
    fillDrives();
    connect(drive1_, &QComboBox::activated, this, &Playlist::Drive1_Change);

    dir1_ = new QListView(this);
    dir1_->setObjectName(QStringLiteral("Dir1"));
    dir1_->setGeometry(twips(180, 540, 1925, 1215));
    dir1_->setUniformItemSizes(true);
    dir1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dir1_->setModel(&folders_.model());
    dir1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    dir1_->setTextElideMode(Qt::ElideRight);
    connect(dir1_, &QListView::activated, this,
            [this](const QModelIndex& index) { openFolder(folders_.pathAt(index.row())); });
}

void Playlist::createLists()
{
    const auto makeList = [this](const char* name, QAbstractItemModel* model,
                                 QAbstractItemView::SelectionMode mode, const QRect& at) {
        auto* view = new QListView(this);
        view->setObjectName(QString::fromLatin1(name));
        view->setGeometry(at);
        view->setUniformItemSizes(true);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setSelectionMode(mode);
        view->setModel(model);
        return view;
    };
    list1_ = makeList("List1", &builder_.folderFiles(), QAbstractItemView::ExtendedSelection,
                      twips(2250, 270, 5055, 1485));
    list2_ = makeList("List2", &builder_.playlist(), QAbstractItemView::SingleSelection,
                      twips(180, 1980, 4290, 1665));
    // Only the user's click chooses an entry: the view moves its highlight by
    // itself when rows go, and that must not change the current song.
    connect(list2_, &QListView::clicked, this, &Playlist::List2_Click);
    connect(list2_, &QListView::doubleClicked, this, &Playlist::List2_DblClick);
}

ClickArea* Playlist::createMovePanel(const char* name, int labelIndex, const QString& caption,
                                     const QString& tip, const QRect& geometry)
{
    auto* panel = new ClickArea(this);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(geometry);
    panel->setToolTip(tip);
    panel->setAccessibleName(caption);
    panel->setAccessibleDescription(tip);
    panel->setStyleSheet(QStringLiteral(
        "ClickArea { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e8e8f0, "
        "stop:1 #a8acc0); border: 1px solid #505870; border-radius: 3px; }"));
    // The label leaves the mouse to its panel, so a click on it does what the
    // panel does.
    auto* label = new QLabel(caption, panel);
    label->setObjectName(QStringLiteral("Label3_%1").arg(labelIndex));
    label->setToolTip(tip);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Inside the border, centred: in a wide font the caption still leaves
    // the panel's edges to the panel.
    constexpr int kBorder = 1;
    label->setGeometry(panel->rect().adjusted(kBorder, kBorder, -kBorder, -kBorder));
    label->setAlignment(Qt::AlignCenter);
    return panel;
}

void Playlist::createMovePanels()
{
    auto* all = createMovePanel("All", 0, QStringLiteral("All"),
                                QStringLiteral("Select all songs."), twips(2250, 1755, 1005, 240));
    auto* highlighted =
        createMovePanel("MoveHighlight", 1, QStringLiteral("Selected"),
                        QStringLiteral("Only files highlighted."), twips(3330, 1755, 1140, 240));
    connect(all, &ClickArea::clicked, this, &Playlist::All_Click);
    connect(highlighted, &ClickArea::clicked, this, &Playlist::MoveHighlight_Click);
}

void Playlist::createNameBox()
{
    combo1_ = new QComboBox(this);
    combo1_->setObjectName(QStringLiteral("Combo1"));
    combo1_->setGeometry(twips(4860, 2160, 2265, 315));
    combo1_->setEditable(true);
    combo1_->setInsertPolicy(QComboBox::NoInsert);
    combo1_->setModel(&builder_.savedNames());
}

void Playlist::createCommands()
{
    for (int i = 0; i < kCommandCount; ++i) {
        const CommandSpec& spec = kCommands[static_cast<std::size_t>(i)];
        auto* button = new QPushButton(QString::fromUtf8(spec.caption), this);
        button->setObjectName(QStringLiteral("CmdPlaylist_%1").arg(i));
        button->setToolTip(QString::fromUtf8(spec.tip));
        button->setAccessibleDescription(QString::fromUtf8(spec.tip));
        button->setGeometry(twips(spec.at.left, spec.at.top, spec.at.width, spec.at.height));
        // Enter in the name box must not press a button.
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i] { CmdPlaylist_Click(i); });
        commands_[static_cast<std::size_t>(i)] = button;
    }
}

void Playlist::createAds()
{
    for (int i = 0; i < 2; ++i) {
        auto* image = new ClickArea(this);
        image->setObjectName(QStringLiteral("ads_%1").arg(i));
        image->setToolTip(QStringLiteral("Click Me!"));
        image->setGeometry(twips(3330, 3870, 1095, 315));
        image->setScaledContents(true);
        image->setPixmap(adPicture(i));
        image->setCursor(Qt::PointingHandCursor);
        connect(image, &ClickArea::clicked, this, &Playlist::ads_Click);
        ads_[static_cast<std::size_t>(i)] = image;
    }
    timer2_ = new QTimer(this);
    timer2_->setObjectName(QStringLiteral("Timer2"));
    timer2_->setInterval(kAdIntervalMs);
    connect(timer2_, &QTimer::timeout, this, &Playlist::Timer2_Timer);
    timer2_->start();
}

void Playlist::fillDrives()
{
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady()) {
            roots << volume.rootPath();
        }
    }
    roots.sort();
    roots.removeDuplicates();
    drive1_->addItems(roots);
}

void Playlist::showDriveOf(const QString& folder)
{
    const QString root = driveOf(folder);
    int index = drive1_->findText(root);
    if (index < 0) {
        drive1_->addItem(root);
        index = drive1_->count() - 1;
    }
    drive1_->setCurrentIndex(index);
}

bool Playlist::openFolder(const QString& folder)
{
    FolderListing listing = FolderListing::of(folder);
    if (!folders_.open(folder, listing.folders)) {
        return false;
    }
    Dir1_Change(listing.audioFiles);
    return true;
}

void Playlist::Drive1_Change(int index)
{
    const QString root = drive1_->itemText(index);
    // A drive that cannot be read: quietly back to the drive of the open folder.
    if (!openFolder(lastFolderOnDrive_.value(root, root)) && !openFolder(root)) {
        showDriveOf(folders_.folder());
    }
}

void Playlist::showFolder()
{
    const QString& folder = folders_.folder();
    lastFolderOnDrive_.insert(driveOf(folder), folder);
    showDriveOf(folder);
    dir1_->setCurrentIndex(folders_.model().index(folders_.openRow()));
}

void Playlist::Dir1_Change(const QStringList& audioFiles)
{
    showFolder();
    list1_->setUpdatesEnabled(false);
    builder_.showFolderFiles(folders_.folder(), audioFiles);
    list1_->setUpdatesEnabled(true);
}

void Playlist::All_Click()
{
    builder_.moveAll();
}

void Playlist::MoveHighlight_Click()
{
    ShowBusyCursor();
    list1_->setUpdatesEnabled(false);
    list2_->setUpdatesEnabled(false);
    QList<int> rows;
    for (const QModelIndex& index : list1_->selectionModel()->selectedRows()) {
        rows << index.row();
    }
    builder_.moveRows(rows);
    list1_->setUpdatesEnabled(true);
    list2_->setUpdatesEnabled(true);
    list2_->setFocus();
    ShowNormalCursor();
}

std::optional<int> Playlist::highlightedEntry() const
{
    const QModelIndexList rows = list2_->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return std::nullopt;
    }
    return rows.first().row();
}

void Playlist::List2_Click()
{
    if (const std::optional<int> row = highlightedEntry()) {
        builder_.chooseEntry(*row);
    }
}

void Playlist::List2_DblClick()
{
    player_.CloseMPEG();
    const std::optional<int> row = highlightedEntry();
    if (!row) {
        return;
    }
    builder_.chooseEntry(*row);
    if (links_.playIt) {
        links_.playIt();
    }
}

void Playlist::CmdPlaylist_Click(int index)
{
    switch (index) {
        case Accept:
            builder_.PassList();
            done(QDialog::Accepted);
            break;
        case LoadPlaylist:
            GetFiles();
            break;
        case SavePlaylist:
            builder_.SaveList(combo1_->currentText());
            accepted_.setListAccepted(true);
            break;
        case IdTag:
            idTag();
            break;
        case Help:
            voice_.help();
            break;
        case Options:
            options();
            break;
        case Remove: {
            const int before = builder_.playlist().count();
            builder_.RemoveSong(highlightedEntry());
            // The view highlights the entry that moved up; the user did not.
            if (builder_.playlist().count() != before) {
                list2_->selectionModel()->clear();
            }
            break;
        }
        case About:
            voice_.about();
            break;
        case Cancel:
            builder_.cancel();
            done(QDialog::Rejected);
            break;
        case Clear:
            builder_.clear();
            break;
        default:
            break;
    }
}

void Playlist::idTag()
{
    if (!builder_.chooseTagFile(highlightedEntry())) {
        return;
    }
    ShowBusyCursor();
    if (links_.showTagEditor) {
        links_.showTagEditor(builder_.TagFile());
    }
    ShowNormalCursor();
}

void Playlist::options()
{
    // The options window restores the pointer once it has loaded.
    if (links_.showOptions) {
        ShowBusyCursor();
        links_.showOptions();
    }
}

void Playlist::Timer2_Timer()
{
    ads_[static_cast<std::size_t>(adCycle_.tick())]->raise();
}

void Playlist::ads_Click()
{
    voice_.adClicked();
}

void Playlist::showEvent(QShowEvent* event)
{
    builder_.showPlayingList();
    RoundedDialog::showEvent(event);
}

void Playlist::keyPressEvent(QKeyEvent* event)
{
    // Escape does not close the window; only its own buttons do.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    RoundedDialog::keyPressEvent(event);
}

void Playlist::closeEvent(QCloseEvent* event)
{
    RoundedDialog::closeEvent(event);
    if (event->isAccepted()) {
        emit unloaded();
    }
}

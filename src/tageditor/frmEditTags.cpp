// SPDX-License-Identifier: GPL-3.0-or-later
#include "tageditor/frmEditTags.h"

#include "base/BusyCursor.h"
#include "base/TrimSpaces.h"
#include "tageditor/TypingLimitValidator.h"
#include "tags/GenreList.h"
#include "tags/TagReader.h"
#include "ui/AccessibleText.h"
#include "ui/CentredMessageBox.h"
#include "ui/PulsingLight.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

namespace {

constexpr int kWidthTwips = 4050;
constexpr int kHeightTwips = 3165;

struct Place {
    int left;
    int top;
    int width;
    int height;
};

struct Caption {
    const char* text;
    Place place;
};

constexpr std::array<Caption, 6> kLabels = {{
    {"Song:", {270, 450, 615, 255}},
    {"Artist:", {390, 810, 495, 255}},
    {"Album:", {270, 1170, 615, 255}},
    {"Year:", {390, 1530, 495, 255}},
    {"Comment:", {150, 1965, 735, 255}},
    {"Genre:", {1590, 1560, 480, 195}},
}};

constexpr std::array<Place, frmEditTags::kBoxCount> kBoxes = {{
    {990, 450, 2655, 285},
    {990, 810, 2655, 285},
    {990, 1170, 2655, 285},
    {990, 1530, 495, 285},
    {990, 1950, 2655, 285},
}};

constexpr Place kGenreList = {2175, 1530, 1455, 315};

struct Command {
    const char* caption;
    const char* tooltip;
    Place place;
};

constexpr std::array<Command, 2> kCommands = {{
    {"Write", "Write to file and save new information.", {1710, 2670, 735, 315}},
    {"Cancel", "Cancel", {2520, 2670, 735, 315}},
}};

// For screen readers; Tab follows the rows, Genre beside Year before Comment.
constexpr std::array<AccessibleText, 8> kAccessibleTexts{{
    {"txtEditTags_0", "Song", "The song's title, up to 30 letters.", "lblEditTags_0"},
    {"txtEditTags_1", "Artist", "The artist, up to 30 letters.", "lblEditTags_1"},
    {"txtEditTags_2", "Album", "The album, up to 30 letters.", "lblEditTags_2"},
    {"txtEditTags_3", "Year", "The year, four digits.", "lblEditTags_3"},
    {"txtEditTags_4", "Comment", "A comment, up to 30 letters.", "lblEditTags_4"},
    {"cmbGenre", "Genre", "The song's genre.", "lblEditTags_5"},
    {"CmdOk_0", "Write", "Write to file and save new information."},
    {"CmdOk_1", "Cancel", "Cancel"},
}};
constexpr std::array<const char*, 8> kTabOrder{"txtEditTags_0", "txtEditTags_1", "txtEditTags_2",
                                               "txtEditTags_3", "cmbGenre",      "txtEditTags_4",
                                               "CmdOk_0",       "CmdOk_1"};

constexpr int kFadesLeft = 3510;
constexpr int kFadesTop = 2790;
constexpr QRgb kBackground = qRgb(0x40, 0x40, 0x40);

QString text(const char* source)
{
    return frmEditTags::tr(source);
}

void growToTheLeft(QWidget* widget, int width)
{
    const QRect place = widget->geometry();
    if (width > place.width()) {
        widget->setGeometry(place.right() + 1 - width, place.top(), width, place.height());
    }
}

// The width a line edit needs to show the text whole, frame and margins
// included.
int widthForText(const QLineEdit& box, const QString& shown)
{
    constexpr int kInnerMargin = 2;  // the line edit's own, on each side
    constexpr int kCursorWidth = 1;
    const QMargins margins = box.textMargins() + box.contentsMargins();
    const int inner = box.fontMetrics().horizontalAdvance(shown) + 2 * kInnerMargin + kCursorWidth +
                      margins.left() + margins.right();
    QStyleOptionFrame option;
    option.initFrom(&box);
    option.lineWidth =
        box.hasFrame() ? box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &box) : 0;
    return box.style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, box.height()), &box)
        .width();
}

}  // namespace

void frmEditTags::Open(const QString& tagFile, QWidget* parent)
{
    ShowBusyCursor();
    // On the heap and guarded: a quit may end the parent while the editor is
    // shown, and the parent takes its child windows with it.
    QPointer<frmEditTags> window = new frmEditTags(parent);
    window->StartEdit(tagFile);
    ShowNormalCursor();
    delete window.data();
}

frmEditTags::frmEditTags(QWidget* parent) : RoundedDialog(parent)
{
    setObjectName(QStringLiteral("frmEditTags"));
    setWindowTitle(text("ID Tag"));
    // The layout is made for small 8 point captions, as in the other windows.
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor::fromRgb(kBackground));
    setPalette(colours);
    setAutoFillBackground(true);
    // Only the panel's height of the design area is shown.
    setSizeTwips(kWidthTwips, kHeightTwips);
    buildControls();
    placeFades(kFadesLeft, kFadesTop);
    applyAccessibleTexts(this, kAccessibleTexts);
    setTabOrderByName(this, kTabOrder);
}

void frmEditTags::buildControls()
{
    // A plain panel: presses on it fall through to the window, which drags.
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("VideoSoftElastic1"));
    panel->setGeometry(twips(0, 0, kWidthTwips, kHeightTwips));

    for (std::size_t i = 0; i < kLabels.size(); ++i) {
        const Caption& caption = kLabels[i];
        auto* label = new QLabel(text(caption.text), this);
        label->setObjectName(QStringLiteral("lblEditTags_%1").arg(i));
        const Place& p = caption.place;
        label->setGeometry(twips(p.left, p.top, p.width, p.height));
        // The captions end where their boxes begin; a font wider than the
        // design's grows a caption to the left instead of cutting it.
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        growToTheLeft(label, label->sizeHint().width());
        QPalette white = label->palette();
        white.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(white);
    }

    for (std::size_t i = 0; i < kBoxes.size(); ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtEditTags_%1").arg(i));
        const Place& p = kBoxes[i];
        box->setGeometry(twips(p.left, p.top, p.width, p.height));
        const int limit = i == kYearBox ? Id3v1Tag::kYearWidth : Id3v1Tag::kTextWidth;
        limits_[i] = new TypingLimitValidator(limit, box);
        box->installEventFilter(this);
        boxes_[i] = box;
    }
    // The Year box shows its four digits whatever the font.
    QLineEdit* year = boxes_[kYearBox];
    year->resize(std::max(year->width(), widthForText(*year, QStringLiteral("0000"))),
                 year->height());

    genres_ = new QComboBox(this);
    genres_->setObjectName(QStringLiteral("cmbGenre"));
    genres_->setEditable(false);
    genres_->setGeometry(
        twips(kGenreList.left, kGenreList.top, kGenreList.width, kGenreList.height));

    for (std::size_t i = 0; i < kCommands.size(); ++i) {
        const Command& command = kCommands[i];
        auto* button = new QPushButton(text(command.caption), this);
        button->setObjectName(QStringLiteral("CmdOk_%1").arg(i));
        button->setToolTip(text(command.tooltip));
        const Place& p = command.place;
        button->setGeometry(twips(p.left, p.top, p.width, p.height));
        // Enter in a box must not write the file.
        button->setAutoDefault(false);
        button->setDefault(false);
        const int index = static_cast<int>(i);
        connect(button, &QPushButton::clicked, this, [this, index] { CmdOk_Click(index); });
    }
}

void frmEditTags::StartEdit(const QString& path)
{
    if (!load(path)) {
        return;
    }
    exec();
}

bool frmEditTags::load(const QString& path)
{
    state_ = TagEditState{};
    state_.path = path;
    FillGenres();
    std::optional<TagEditState> read = TagReader::GetTags(path);
    ShowNormalCursor();
    if (!read) {
        close();
        return false;
    }
    state_ = std::move(*read);
    const std::array<const QString*, kBoxCount> texts = {
        &state_.title, &state_.artist, &state_.album, &state_.year, &state_.comment};
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        limits_[i]->setText(Id3v1Tag::beforeNul(*texts[i]));
        // Shown from its start: an untagged file's path is longer than the
        // 30 characters a write keeps, and those are what the user must see.
        boxes_[i]->setCursorPosition(0);
    }
    // Bytes 148 and above are no position of the list: nothing is selected.
    genres_->setCurrentIndex(state_.genre < genres_->count() ? state_.genre : -1);
    return true;
}

void frmEditTags::FillGenres()
{
    genres_->clear();
    genres_->addItems(GenreList::names());
}

void frmEditTags::CmdOk_Click(int index)
{
    if (index == 0) {
        writeTag();
    }
    close();
}

void frmEditTags::writeTag()
{
    Id3v1Tag edited;
    edited.title = boxes_[0]->text();
    edited.artist = boxes_[1]->text();
    edited.album = boxes_[2]->text();
    edited.year = boxes_[3]->text();
    edited.comment = boxes_[4]->text();
    edited.genre = Id3v1Tag::genreByte(genres_->currentIndex());
    const TagWriteResult result = writer_.write(state_, edited);
    if (!result.ok() && errorBox_) {
        errorBox_(this, QString::fromLatin1(TagWriteResult::kTitle), result.messageText());
    }
}

bool frmEditTags::eventFilter(QObject* watched, QEvent* event)
{
    const int index = boxIndex(watched);
    if (index >= 0) {
        if (event->type() == QEvent::KeyPress && index == kYearBox &&
            !yearKeyPasses(*static_cast<QKeyEvent*>(event))) {
            return true;
        }
        if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            // A menu or another window taking the focus is not leaving the box.
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
                trimBox(index);
            }
        }
    }
    return RoundedDialog::eventFilter(watched, event);
}

void frmEditTags::keyPressEvent(QKeyEvent* event)
{
    // Escape is Cancel; it must unload the window like the button does.
    if (event->key() == Qt::Key_Escape) {
        CmdOk_Click(1);
        return;
    }
    RoundedDialog::keyPressEvent(event);
}

int frmEditTags::boxIndex(const QObject* watched) const
{
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        if (boxes_[i] == watched) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Digits and Backspace; every other key that types a character is swallowed.
// Keys that type nothing (arrows, Delete) and the window's own keys pass.
bool frmEditTags::yearKeyPasses(const QKeyEvent& key)
{
    switch (key.key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Escape:
            return true;
        default:
            break;
    }
    const QString typed = key.text();
    if (typed.isEmpty()) {
        return true;
    }
    return typed.size() == 1 && typed.at(0) >= QLatin1Char('0') && typed.at(0) <= QLatin1Char('9');
}

void frmEditTags::trimBox(int index)
{
    const auto i = static_cast<std::size_t>(index);
    const QString trimmed = trimSpaces(boxes_[i]->text());
    if (trimmed != boxes_[i]->text()) {
        limits_[i]->setText(trimmed);
    }
}

void frmEditTags::showErrorBox(QWidget* parent, const QString& title, const QString& text)
{
    CentredMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, parent);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.raise();
    box.activateWindow();
    box.exec();
}

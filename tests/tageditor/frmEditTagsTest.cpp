// SPDX-License-Identifier: GPL-3.0-or-later
#include "tageditor/frmEditTags.h"

#include "common/AccessibilityAudit.h"
#include "common/TestSupport.h"
#include "tags/GenreList.h"
#include "tags/TagFiles.h"
#include "ui/PulsingLight.h"
#include "ui/TwipsScale.h"
#include "ui/WindowDrag.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using tag_files::RawTag;

namespace {

struct ShownError {
    QString title;
    QString text;
};

class TagWindow : public ::testing::Test {
protected:
    QString file(const QByteArray& content, const QString& name = QStringLiteral("song.mp3"))
    {
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(tag_files::writeFile(path, content));
        return path;
    }

    // A window that records its error boxes instead of showing them.
    std::unique_ptr<frmEditTags> window()
    {
        auto w = std::make_unique<frmEditTags>();
        w->setErrorBox([this](QWidget*, const QString& title, const QString& text) {
            errors_.push_back({title, text});
        });
        return w;
    }

    static QLineEdit* box(const frmEditTags& w, int index)
    {
        return w.findChild<QLineEdit*>(QStringLiteral("txtEditTags_%1").arg(index));
    }
    static QComboBox* genres(const frmEditTags& w)
    {
        return w.findChild<QComboBox*>(QStringLiteral("cmbGenre"));
    }
    static QPushButton* command(const frmEditTags& w, int index)
    {
        return w.findChild<QPushButton*>(QStringLiteral("CmdOk_%1").arg(index));
    }

    static RawTag nulPadded()
    {
        RawTag raw;
        raw.title = "Title";
        raw.artist = "Artist";
        raw.album = "Album";
        raw.year = "1987";
        raw.comment = "Comment";
        raw.genre = 17;
        raw.pad = '\0';
        return raw;
    }

    QTemporaryDir dir_;
    std::vector<ShownError> errors_;
};

// The text position at the box's left edge once painted: 0 when the box
// shows its text from the start.
int firstShownPosition(QLineEdit* box)
{
    box->grab();  // the scroll offset is worked out while painting
    return box->cursorPositionAt(QPoint(0, box->height() / 2));
}

void leave(QLineEdit* box)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box, &out);
}

}  // namespace

TEST_F(TagWindow, ControlsCarryTheirCaptionsTipsAndPlaces)
{
    const auto w = window();
    const QStringList captions = {"Song:", "Artist:", "Album:", "Year:", "Comment:", "Genre:"};
    for (int i = 0; i < captions.size(); ++i) {
        const auto* label = w->findChild<QLabel*>(QStringLiteral("lblEditTags_%1").arg(i));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), captions[i]);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
    }
    EXPECT_EQ(w->palette().color(QPalette::Window), QColor(0x40, 0x40, 0x40));
    EXPECT_EQ(command(*w, 0)->text(), QStringLiteral("Write"));
    EXPECT_EQ(command(*w, 0)->toolTip(), QStringLiteral("Write to file and save new information."));
    EXPECT_EQ(command(*w, 1)->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(command(*w, 1)->toolTip(), QStringLiteral("Cancel"));
    EXPECT_FALSE(genres(*w)->isEditable());

    const TwipsScale scale = TwipsScale::forWidget(w.get());
    EXPECT_EQ(w->size(), scale.size(4050, 3165));
    // The Year box may be wider than designed, so that four digits fit.
    const QRect year = scale.rect(990, 1530, 495, 285);
    EXPECT_EQ(box(*w, 3)->geometry().topLeft(), year.topLeft());
    EXPECT_EQ(box(*w, 3)->height(), year.height());
    EXPECT_GE(box(*w, 3)->width(), year.width());
    EXPECT_EQ(command(*w, 0)->geometry(), scale.rect(1710, 2670, 735, 315));
    EXPECT_EQ(w->fades()->geometry(), scale.rect(3510, 2790, 255, 45));
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST_F(TagWindow, CaptionsAndTheYearShowWholeBesideTheirBoxes)
{
    const QString path = file(tag_files::body(400) + nulPadded().bytes());
    const auto w = window();
    ASSERT_TRUE(w->load(path));
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));

    QList<QWidget*> fields{genres(*w)};
    for (int i = 0; i < frmEditTags::kBoxCount; ++i) {
        fields << box(*w, i);
    }
    for (const QLabel* label : w->findChildren<QLabel*>(QRegularExpression("^lblEditTags_"))) {
        const QString name = label->text();
        EXPECT_LE(label->fontMetrics().horizontalAdvance(name), label->contentsRect().width())
            << name.toStdString();
        for (const QWidget* field : fields) {
            EXPECT_FALSE(label->geometry().intersects(field->geometry()))
                << name.toStdString() << " covers " << field->objectName().toStdString();
        }
    }
    QLineEdit* year = box(*w, frmEditTags::kYearBox);
    year->setCursorPosition(4);
    EXPECT_EQ(firstShownPosition(year), 0) << "the first digit of the year is cut";

    // Window lists tell it apart from the main window.
    EXPECT_FALSE(w->windowTitle().isEmpty());
    EXPECT_NE(w->windowTitle(), QStringLiteral("Tolvar MP3 Radio"));
}

TEST_F(TagWindow, EveryControlIsNamedForScreenReadersAndTabFollowsTheRows)
{
    const auto w = window();
    const auto controls = accessibility_audit::controls(w.get());
    const std::string all = accessibility_audit::listing(controls).toStdString();
    EXPECT_EQ(controls.size(), 8u) << all;
    EXPECT_EQ(accessibility_audit::unnamed(controls), QStringList()) << all;
    // Genre sits beside Year, so it comes before Comment.
    EXPECT_EQ(accessibility_audit::tabWalk(w.get(), box(*w, 0), 7),
              QStringList({"txtEditTags_0", "txtEditTags_1", "txtEditTags_2", "txtEditTags_3",
                           "cmbGenre", "txtEditTags_4", "CmdOk_0", "CmdOk_1"}));
}

TEST_F(TagWindow, NulPaddedFieldsShowWithoutPadding)
{
    const QString path = file(tag_files::body(400) + nulPadded().bytes());
    const auto w = window();
    ASSERT_TRUE(w->load(path));
    const QStringList shown = {"Title", "Artist", "Album", "1987", "Comment"};
    for (int i = 0; i < frmEditTags::kBoxCount; ++i) {
        EXPECT_EQ(box(*w, i)->text(), shown[i]) << i;
    }
    ASSERT_EQ(genres(*w)->count(), GenreList::kCount);
    for (int i = 0; i < GenreList::kCount; ++i) {
        EXPECT_EQ(genres(*w)->itemText(i), GenreList::name(i));
    }
    EXPECT_EQ(genres(*w)->currentText(), QStringLiteral("Rock"));
}

TEST_F(TagWindow, UntaggedFileShowsItsWholePathAndNoGenre)
{
    const QString path =
        file(tag_files::body(300), QStringLiteral("a file name well over thirty characters.mp3"));
    const auto w = window();
    ASSERT_TRUE(w->load(path));
    EXPECT_EQ(box(*w, 0)->text(), path);
    for (int i = 1; i < frmEditTags::kBoxCount; ++i) {
        EXPECT_TRUE(box(*w, i)->text().isEmpty()) << i;
    }
    EXPECT_EQ(genres(*w)->currentIndex(), -1);
    // Shown from its start, as a write keeps its first 30 characters.
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    EXPECT_EQ(firstShownPosition(box(*w, 0)), 0);
    // The over-long preset can still be shortened but not lengthened.
    QTest::keyClick(box(*w, 0), Qt::Key_End);
    QTest::keyClick(box(*w, 0), 'x');
    EXPECT_EQ(box(*w, 0)->text().toStdString(), path.toStdString());
    QTest::keyClick(box(*w, 0), Qt::Key_Backspace);
    EXPECT_EQ(box(*w, 0)->text().toStdString(), path.chopped(1).toStdString());
    QTest::keyClick(box(*w, 0), 'y');
    EXPECT_EQ(box(*w, 0)->text().toStdString(), path.chopped(1).toStdString());
}

TEST_F(TagWindow, GenreBytesOutsideTheListSelectNothing)
{
    for (const unsigned char genre : {148, 255}) {
        RawTag raw = nulPadded();
        raw.genre = genre;
        const auto w = window();
        ASSERT_TRUE(w->load(file(raw.bytes())));
        EXPECT_EQ(genres(*w)->currentIndex(), -1);
        EXPECT_EQ(w->tagState().genre, genre);
    }
}

TEST_F(TagWindow, YearTakesFourDigitsAndBackspaceOnly)
{
    const auto w = window();
    ASSERT_TRUE(w->load(file(tag_files::body(300))));
    QLineEdit* year = box(*w, 3);
    QTest::keyClicks(year, QStringLiteral("a1 b2-x."));
    EXPECT_EQ(year->text(), QStringLiteral("12"));
    QTest::keyClick(year, Qt::Key_Backspace);
    EXPECT_EQ(year->text(), QStringLiteral("1"));
    QTest::keyClicks(year, QStringLiteral("9995"));
    EXPECT_EQ(year->text(), QStringLiteral("1999"));
    QTest::keyClick(year, Qt::Key_Left);
    QTest::keyClick(year, Qt::Key_Delete);
    EXPECT_EQ(year->text(), QStringLiteral("199"));

    // The other boxes take every key.
    QTest::keyClicks(box(*w, 1), QStringLiteral("a1 b2-x."));
    EXPECT_EQ(box(*w, 1)->text(), QStringLiteral("a1 b2-x."));
}

TEST_F(TagWindow, ThirtyFirstCharacterIsRefused)
{
    const auto w = window();
    ASSERT_TRUE(w->load(file(tag_files::body(300) + nulPadded().bytes())));
    for (const int index : {0, 1, 2, 4}) {
        QLineEdit* text = box(*w, index);
        text->clear();
        QTest::keyClicks(text, QString(29, QLatin1Char('a')) + QStringLiteral("bc"));
        EXPECT_EQ(text->text(), QString(29, QLatin1Char('a')) + QStringLiteral("b")) << index;
    }
}

TEST_F(TagWindow, LeavingABoxTrimsItsSpaces)
{
    const auto w = window();
    ASSERT_TRUE(w->load(file(tag_files::body(300))));
    for (int index = 0; index < frmEditTags::kBoxCount; ++index) {
        QLineEdit* text = box(*w, index);
        text->setText(index == 3 ? QStringLiteral(" 12 ") : QStringLiteral("  word  "));
        leave(text);
        EXPECT_EQ(text->text(), index == 3 ? QStringLiteral("12") : QStringLiteral("word"));
    }
    box(*w, 0)->setText(QStringLiteral("\tword "));
    leave(box(*w, 0));
    EXPECT_EQ(box(*w, 0)->text(), QStringLiteral("\tword"));
}

TEST_F(TagWindow, CancelEscapeAndEnterLeaveTheFileAlone)
{
    const QByteArray before = tag_files::body(300) + nulPadded().bytes();
    const QString path = file(before);
    for (const int way : {0, 1}) {
        const auto w = window();
        ASSERT_TRUE(w->load(path));
        w->show();
        box(*w, 0)->setText(QStringLiteral("Changed"));
        QTest::keyClick(box(*w, 0), Qt::Key_Return);
        EXPECT_TRUE(w->isVisible());
        if (way == 0) {
            QTest::mouseClick(command(*w, 1), Qt::LeftButton);
        } else {
            QTest::keyClick(box(*w, 0), Qt::Key_Escape);
        }
        EXPECT_FALSE(w->isVisible());
        EXPECT_TRUE(w->mask().isEmpty());
        EXPECT_EQ(tag_files::readFile(path), before);
    }
    EXPECT_TRUE(errors_.empty());
}

TEST_F(TagWindow, WriteStoresTheBoxesAndCloses)
{
    const QByteArray body = tag_files::body(700);
    const QString path = file(body + nulPadded().bytes());
    const auto w = window();
    ASSERT_TRUE(w->load(path));
    w->show();
    box(*w, 0)->setText(QStringLiteral("New title"));
    box(*w, 3)->setText(QStringLiteral("99"));
    box(*w, 4)->clear();
    genres(*w)->setCurrentIndex(147);
    QTest::mouseClick(command(*w, 0), Qt::LeftButton);

    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(errors_.empty());
    RawTag expected;
    expected.title = "New title";
    expected.artist = "Artist";
    expected.album = "Album";
    expected.year = "99";
    expected.comment = "Created with Tolvar MP3 v1.0";
    expected.genre = 147;
    EXPECT_EQ(tag_files::readFile(path), body + expected.bytes());
}

TEST_F(TagWindow, WriteFailureShowsWriteErrorAndLeavesTheFile)
{
    const QByteArray before = tag_files::body(300) + nulPadded().bytes();
    const QString path = file(before);
    const auto w = window();
    ASSERT_TRUE(w->load(path));
    w->setWriter(TagWriter([](const QString& p) {
        auto held = std::make_unique<QFile>(p);
        held->open(QIODevice::ReadOnly);
        return std::unique_ptr<QIODevice>(std::move(held));
    }));
    w->show();
    box(*w, 0)->setText(QStringLiteral("Changed"));
    QTest::mouseClick(command(*w, 0), Qt::LeftButton);

    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0].title, QStringLiteral("Write Error"));
    EXPECT_TRUE(errors_[0].text.endsWith(QStringLiteral("  File may be open?")));
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(tag_files::readFile(path), before);

    // A character outside ISO-8859-1 fails the same way.
    const auto again = window();
    ASSERT_TRUE(again->load(path));
    again->show();
    box(*again, 1)->setText(QStringLiteral("\u65e5\u672c"));
    QTest::mouseClick(command(*again, 0), Qt::LeftButton);
    ASSERT_EQ(errors_.size(), 2u);
    EXPECT_EQ(errors_[1].title, QStringLiteral("Write Error"));
    EXPECT_EQ(tag_files::readFile(path), before);
}

TEST_F(TagWindow, EmptyFileShowsNoWindowAndThePointerIsNormal)
{
    const QString tagFile = file({}, QStringLiteral("empty.mp3"));
    bool windowShown = false;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&windowShown] {
        if (auto* modal = QApplication::activeModalWidget()) {
            windowShown = true;
            modal->close();
        }
    });
    guard.start(20);
    frmEditTags::Open(tagFile);
    EXPECT_FALSE(windowShown);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(TagWindow, OpensModallyWithTheNormalPointer)
{
    const QString tagFile = file(tag_files::body(300) + nulPadded().bytes());
    bool sawWindow = false;
    bool pointerNormal = false;
    bool modal = false;
    QString title;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* w = qobject_cast<frmEditTags*>(QApplication::activeModalWidget());
        if (w == nullptr || sawWindow) {
            return;
        }
        sawWindow = true;
        pointerNormal = QGuiApplication::overrideCursor() == nullptr;
        modal = w->isModal();
        title = box(*w, 0)->text();
        QTest::mouseClick(command(*w, 1), Qt::LeftButton);
    });
    poll.start(10);
    QTimer::singleShot(5000, [] {
        if (QWidget* stuck = QApplication::activeModalWidget()) {
            stuck->close();
        }
    });
    frmEditTags::Open(tagFile);
    EXPECT_TRUE(sawWindow);
    EXPECT_TRUE(pointerNormal);
    EXPECT_TRUE(modal);
    EXPECT_EQ(title, QStringLiteral("Title"));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(TagWindow, PressOnTheBackgroundDragsTheWindow)
{
    const auto w = window();
    ASSERT_TRUE(w->load(file(tag_files::body(300))));
    w->drag()->setSystemMoveAllowed(false);
    w->move(50, 60);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    auto* panel = w->findChild<QWidget*>(QStringLiteral("VideoSoftElastic1"));
    ASSERT_NE(panel, nullptr);
    const QPoint origin = w->pos();
    const QPoint grab = panel->mapToGlobal(QPoint(5, 150));
    QTest::mousePress(panel, Qt::RightButton, {}, QPoint(5, 150));
    EXPECT_TRUE(w->drag()->following());
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 150), QPointF(5, 150),
                     QPointF(grab + QPoint(25, 35)), Qt::NoButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(panel, &move);
    EXPECT_EQ(w->pos(), origin + QPoint(25, 35));
    w->close();
}

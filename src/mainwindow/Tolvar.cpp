// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/Tolvar.h"

#include "audio/MpegPlayer.h"
#include "mainwindow/TransportPictures.h"
#include "options/StoredVoice.h"
#include "playback/Sequencer.h"
#include "settings/RadioSettings.h"
#include "settings/SettingsCatalogue.h"
#include "speech/SpeechEngine.h"
#include "ui/Gauge.h"
#include "ui/Panel.h"
#include "ui/PanelButton.h"
#include "ui/TwipsScale.h"
#include "ui/WindowDrag.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTimer>

namespace {
struct CommandLayout {
    int leftTwips;
    int widthTwips;
    const char* caption;
    const char* toolTip;
    // For screen readers: the picture buttons are named after their tooltip's action.
    const char* accessibleName;
    const char* description;
};

constexpr int kButtonHeightTwips = 270;
constexpr std::array<CommandLayout, 7> kCommands{{
    {0, 405, "", "Forward", "Forward", "Skips to the next song of the playlist."},
    {450, 405, "", "Pause", "Pause", "Pauses the song, or plays on from where it paused."},
    {900, 405, "", "Play", "Play", "Plays the playlist."},
    {1350, 405, "", "Stop", "Stop", "Stops the song."},
    {1800, 405, "", "Reverse", "Reverse", "Goes back to the song before."},
    {3495, 735, "Playlist", "Create playlist and set options.", "Playlist",
     "Create playlist and set options."},
    {4305, 735, "Close", "Exit ZA3-Revez", "Close", "Exit ZA3-Revez"},
}};

struct SwitchLayout {
    int boxLeftTwips;
    int labelLeftTwips;
    int labelWidthTwips;
    const char* caption;
    const char* description;
};
constexpr std::array<SwitchLayout, 2> kSwitches{{
    {2280, 2475, 300, "Time", "Announces the time of day between songs."},
    {2880, 3075, 330, "News", "Reads the tech headlines between songs."},
}};

// The labels are narrow; their font shrinks until the caption fits.
void fitText(QLabel* label)
{
    QFont fitted = label->font();
    while (fitted.pixelSize() > 7 &&
           QFontMetrics(fitted).horizontalAdvance(label->text()) > label->width()) {
        fitted.setPixelSize(fitted.pixelSize() - 1);
    }
    label->setFont(fitted);
}

QString indexed(const char* name, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}
}  // namespace

Tolvar::Tolvar(RadioSettings& settings, RandomSource& random, Sequencer& sequencer,
               MpegPlayer& player, SpeechEngine& voice, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      settings_(settings),
      random_(random),
      sequencer_(sequencer),
      player_(player),
      voice_(voice)
{
    setObjectName(QStringLiteral("Tolvar"));
    setWindowTitle(QStringLiteral("Tolvar MP3 Radio"));
    setWindowIcon(QIcon(transportPicture(TransportCommand::Play, 32)));
    buildControls();
    connect(&sequencer_, &Sequencer::percentShown, gauge_, &Gauge::setPercent);
}

Tolvar::~Tolvar() = default;

void Tolvar::buildControls()
{
    const TwipsScale scale = TwipsScale::forWidget(this);
    QFont small = font();
    small.setPixelSize(qMax(8, scale.y(135)));
    setFont(small);

    panel_ = new Panel(this);
    panel_->setObjectName(QStringLiteral("VideoSoftElastic1"));
    panel_->setGeometry(scale.rect(0, 0, kWidthTwips, 345));
    connect(panel_, &Panel::mouseDown, this,
            [this](Qt::MouseButton button) { onPanelMouseDown(button); });

    const int pictureSide = scale.y(kButtonHeightTwips) - 4;
    for (int i = 0; i < static_cast<int>(kCommands.size()); ++i) {
        const CommandLayout& layout = kCommands.at(i);
        auto* button = new PanelButton(i, panel_);
        button->setObjectName(indexed("Commands", i));
        button->setGeometry(scale.rect(layout.leftTwips, 0, layout.widthTwips, kButtonHeightTwips));
        button->setText(QString::fromLatin1(layout.caption));
        button->setToolTip(QString::fromLatin1(layout.toolTip));
        button->setAccessibleName(QString::fromLatin1(layout.accessibleName));
        button->setAccessibleDescription(QString::fromLatin1(layout.description));
        if (i <= static_cast<int>(TransportCommand::Reverse)) {
            button->setPicture(transportPicture(static_cast<TransportCommand>(i), pictureSide,
                                                devicePixelRatioF()));
        }
        connect(button, &PanelButton::indexClicked, this, &Tolvar::Commands_Click);
        commands_.at(i) = button;
    }

    drag_ = new WindowDrag(this);
    const Qt::MouseButtons dragButtons =
        Qt::MouseButtons(Qt::AllButtons) & ~Qt::MouseButtons(Qt::RightButton);
    drag_->addSurface(panel_, dragButtons);
    for (int i = 0; i < static_cast<int>(kSwitches.size()); ++i) {
        const SwitchLayout& layout = kSwitches.at(i);
        auto* box = new QCheckBox(panel_);
        box->setObjectName(indexed("Check1", i));
        box->setGeometry(scale.rect(layout.boxLeftTwips, 30, 175, 175));
        box->setChecked(i == 0);
        box->setFocusPolicy(Qt::TabFocus);
        box->setAccessibleName(QString::fromLatin1(layout.caption));
        box->setAccessibleDescription(QString::fromLatin1(layout.description));
        // Held like the transport buttons while the radio waits for the
        // voice: the switch takes effect once the next song has started.
        connect(box, &QCheckBox::toggled, this,
                [this, i] { sequencer_.runOrHold(this, [this, i] { Check1_Click(i); }); });
        check1_.at(i) = box;

        // Right presses fall through the label to the panel, which docks.
        auto* label = new QLabel(QString::fromLatin1(layout.caption), panel_);
        label->setObjectName(indexed("Label1", i));
        label->setGeometry(scale.rect(layout.labelLeftTwips, 45, layout.labelWidthTwips, 165));
        label->setStyleSheet(QStringLiteral("color: #f2f4f8;"));
        fitText(label);
        drag_->addSurface(label, dragButtons);
        label1_.at(i) = label;
    }

    gauge_ = new Gauge(panel_);
    gauge_->setObjectName(QStringLiteral("Gauge"));
    gauge_->setGeometry(scale.rect(0, 285, 5055, 90));
    gauge_->setAccessibleName(QStringLiteral("Progress"));
    gauge_->setAccessibleDescription(QStringLiteral("How much of the song has played."));

    // Tab walks the strip from left to right: the transport, the switches,
    // then Playlist and Close.
    const std::array<QWidget*, 9> order{commands_[0], commands_[1], commands_[2],
                                        commands_[3], commands_[4], check1_[0],
                                        check1_[1],   commands_[5], commands_[6]};
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order.at(i - 1), order.at(i));
    }
}

void Tolvar::Form_Load()
{
    player_.SetAutoRepeat(true);
    LoadSettings(settings_, random_,
                 [this](bool nowTime, bool nowNews) { showAnnouncerBoxes(nowTime, nowNews); });
    UseStoredVoice(settings_, voice_);
    PlaceWindow();
}

void Tolvar::showAnnouncerBoxes(bool nowTime, bool nowNews)
{
    check1_.at(0)->setChecked(nowTime);
    check1_.at(1)->setChecked(nowNews);
}

void Tolvar::Check1_Click(int index)
{
    if (index == 0) {
        settings_.NowTime = check1_.at(0)->isChecked();
    } else {
        settings_.NowNews = check1_.at(1)->isChecked();
    }
    SaveAnnouncerSwitches(settings_);
}

void Tolvar::PlaceWindow()
{
    const QScreen* where = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    PlaceWindow(where != nullptr ? where->availableGeometry() : QRect());
}

void Tolvar::PlaceWindow(const QRect& workArea)
{
    const TwipsScale scale = TwipsScale::forWidget(this);
    const int heightTwips = settings_.Progressbar ? kHeightWithoutGaugeTwips : kHeightTwips;
    const QSize size = scale.size(kWidthTwips, heightTwips);
    setFixedSize(size);

    const bool onTop = settings_.MakeItTop;
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) != onTop) {
        // Changing the flags hides a shown window.
        const bool shown = isVisible();
        setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
        if (shown) {
            show();
        }
    }

    // Docked against the work area's own edges, so a panel on the right or at
    // the top does not cover the strip.
    if (workArea.isValid()) {
        move(workArea.x() + workArea.width() - size.width(),
             workArea.y() + workArea.height() - scale.y(heightTwips + kBottomGapTwips));
    }
}

void Tolvar::onPanelMouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton) {
        PlaceWindow();
    }
}

void Tolvar::Commands_Click(int index)
{
    switch (index) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4:
            sequencer_.command(static_cast<TransportCommand>(index));
            break;
        case 5:
            if (!sequencer_.holding()) {
                openPlaylist();
                break;
            }
            // Held like the transport buttons, then opened from the event
            // loop rather than from inside the voice's signal ending the wait.
            sequencer_.runOrHold(this, [this] {
                QTimer::singleShot(0, this, [this] {
                    if (!exiting_) {
                        openPlaylist();
                    }
                });
            });
            break;
        case 6:
            exitProgram();
            break;
        default:
            break;
    }
}

void Tolvar::openPlaylist()
{
    // A second press held during the wait finds the window already open.
    if (playlistOpen_) {
        return;
    }
    playlistOpen_ = true;
    voice_.stop();
    const bool accepted = playlistOpener_ && playlistOpener_();
    playlistOpen_ = false;
    // A quit that came while the playlist window was open (from the
    // desktop's media controls) leaves nothing to start.
    if (accepted && !exiting_) {
        sequencer_.startAcceptedList();
    }
}

void Tolvar::exitProgram()
{
    exiting_ = true;
    sequencer_.halt();
    player_.StopMPEG();
    voice_.stop();
    if (unloader_ && !unloaded_) {
        unloaded_ = true;
        unloader_();
    }
    close();
}

void Tolvar::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    event->accept();
}

void Tolvar::showEvent(QShowEvent* event)
{
    sequencer_.setWindowHandle(static_cast<quintptr>(winId()));
    QWidget::showEvent(event);
}

void Tolvar::Form_QueryUnload()
{
    exiting_ = true;
    sequencer_.halt();
    player_.StopMPEG();
    player_.CloseMPEG();
    CloseOtherWindows(objectName());
    CloseOtherWindows(objectName());
}

void Tolvar::CloseOtherWindows(const QString& name)
{
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        windows << window;
    }
    for (const QPointer<QWidget>& window : windows) {
        if (window != nullptr && window != this && window->objectName() != name) {
            window->close();
        }
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QWidget>
#include <array>
#include <functional>

class Gauge;
class MpegPlayer;
class Panel;
class PanelButton;
class QCheckBox;
class QLabel;
class RadioSettings;
class RandomSource;
class Sequencer;
class SpeechEngine;
class WindowDrag;

// The main window: a caption-less strip docked at the bottom-right of the work
// area with the transport buttons, the Time and News switches and the
// progress gauge. It wires its controls to the sequencer and the settings;
// Form_Load() loads the settings and docks it, closing it ends the program.
// GUI thread only.
class Tolvar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidthTwips = 5040;
    static constexpr int kHeightTwips = 340;
    static constexpr int kHeightWithoutGaugeTwips = 300;
    static constexpr int kBottomGapTwips = 10;

    Tolvar(RadioSettings& settings, RandomSource& random, Sequencer& sequencer, MpegPlayer& player,
           SpeechEngine& voice, QWidget* parent = nullptr);
    ~Tolvar() override;

    // Start-up: the player's auto-repeat, the settings (with the announcer
    // switches and the voice), then the window's place.
    void Form_Load();

    // Shows the playlist window modally; true when the user accepted a
    // playlist, which then starts with the intro.
    void setPlaylistOpener(std::function<bool()> opener) { playlistOpener_ = std::move(opener); }
    // Closes and destroys the options and playlist windows on exit.
    void setWindowUnloader(std::function<void()> unloader) { unloader_ = std::move(unloader); }

    // Runs button index 0-6.
    void Commands_Click(int index);
    // Exit, as the "Close" button does: stops the song and the voice, unloads
    // the other windows and closes this one.
    void exitProgram();
    // Sizes, stacks and docks the window against its screen's work area.
    void PlaceWindow();
    void PlaceWindow(const QRect& workArea);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void Check1_Click(int index);
    void showAnnouncerBoxes(bool nowTime, bool nowNews);
    void onPanelMouseDown(Qt::MouseButton button);
    void openPlaylist();
    void Form_QueryUnload();
    void CloseOtherWindows(const QString& name);

    RadioSettings& settings_;
    RandomSource& random_;
    Sequencer& sequencer_;
    MpegPlayer& player_;
    SpeechEngine& voice_;
    WindowDrag* drag_ = nullptr;

    Panel* panel_ = nullptr;
    std::array<PanelButton*, 7> commands_{};
    std::array<QCheckBox*, 2> check1_{};
    std::array<QLabel*, 2> label1_{};
    Gauge* gauge_ = nullptr;

    std::function<bool()> playlistOpener_;
    std::function<void()> unloader_;
    bool unloaded_ = false;
    bool playlistOpen_ = false;
    // Set once the program is closing; nothing starts playing after it.
    bool exiting_ = false;
};

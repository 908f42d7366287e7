#pragma once

#include <QRect>
#include <QWidget>
#include <array>
#include <functional>

class Announcer;
class Gauge;
class MpegPlayer;
class Panel;
class PanelButton;
class QCheckBox;
class QLabel;
class Sequencer;
class SpeechEngine;
class Tolvars;
class WindowDrag;

// The main window: a caption-less strip docked at the bottom-right of the work
// area with the transport buttons, the Time and News switches and the
// progress gauge. It wires its controls to the sequencer and the settings;
// creating it loads the settings and docks it, closing it ends the program.
// GUI thread only.
class Tolvar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidthTwips = 5040;
    static constexpr int kHeightTwips = 340;
    static constexpr int kHeightWithoutGaugeTwips = 300;
    static constexpr int kBottomGapTwips = 10;

    Tolvar(Tolvars& state, MpegPlayer& player, SpeechEngine& voice, Announcer& announcer,
           QWidget* parent = nullptr);
    ~Tolvar() override;

    // Shows the playlist window modally; it fills the shared playlist and
    // ListAccepted. Until one is set, a plain file chooser stands in.
    void setPlaylistOpener(std::function<void()> opener) { playlistOpener_ = std::move(opener); }
    // Closes and destroys the options and playlist windows on exit.
    void setWindowUnloader(std::function<void()> unloader) { unloader_ = std::move(unloader); }

    // Runs button index 0-6.
    void Commands_Click(int index);
    void PlayIt();
    // Sizes, stacks and docks the window against its screen's work area.
    void PlaceWindow();
    void PlaceWindow(const QRect& workArea);

    Sequencer& sequencer() { return *sequencer_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void Check1_Click(int index);
    void showAnnouncerBoxes(bool nowTime, bool nowNews);
    void onPanelMouseDown(Qt::MouseButton button);
    void openPlaylist();
    void exitProgram();
    void Form_QueryUnload();
    void CloseOtherWindows(const QString& name);

    Tolvars& state_;
    MpegPlayer& player_;
    SpeechEngine& voice_;
    Announcer& announcer_;
    Sequencer* sequencer_ = nullptr;
    WindowDrag* drag_ = nullptr;

    Panel* panel_ = nullptr;
    std::array<PanelButton*, 7> commands_{};
    std::array<QCheckBox*, 2> check1_{};
    std::array<QLabel*, 2> label1_{};
    Gauge* gauge_ = nullptr;

    std::function<void()> playlistOpener_;
    std::function<void()> unloader_;
    bool unloaded_ = false;
    // Set once the program is closing; nothing starts playing after it.
    bool exiting_ = false;
};

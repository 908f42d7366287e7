// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options/OpsActions.h"
#include "ui/RoundedDialog.h"

#include <QMessageBox>
#include <QPointer>
#include <functional>

class BroadcastBox;
class BroadcastSetting;
struct BroadcastStatus;
class QCheckBox;
class QComboBox;
class NewsHostBox;
class QSpinBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;
class SpeechEngine;
class RadioSettings;
class RandomSource;

// The options window: the voice engine, its speed and the announcer options.
// Controls carry their names as object names ("CmdOps_2" for an item of an
// array). The window fills its controls from the shared variables at every
// opening, and only "Save" writes anything back. GUI thread only.
//
//   Ops ops(settings, random, talk, playlistWindow);
//   ShowBusyCursor();
//   ops.exec();   // the pointer is normal again once the window has loaded
class Ops : public RoundedDialog {
    Q_OBJECT
public:
    // Shows a message box: icon, title, text.
    using MessageHandler =
        std::function<void(QMessageBox::Icon, const QString& title, const QString& text)>;

    static const QString kNotSupportedTitle;
    static const QString kNotSupportedText;

    Ops(RadioSettings& settings, RandomSource& random, SpeechEngine& talk,
        QWidget* parent = nullptr);
    ~Ops() override;

    // Loads the controls and shows the window modally. Accepted after "Save".
    int exec() override;

    // Reloads every control from the engine and the shared variables, then
    // restores the normal pointer. exec() runs it; tests call it directly.
    void Form_Load();

    // The buttons by item number: 0 Cancel, 1 Information, 2 Save, 3 Lexicon,
    // 4 Translate, 5 Test.
    void CmdOps_Click(int index);
    void ComboEngines_Click();

    // The window the engine's own dialogs belong to (the main window); this
    // window when none is set.
    void setDialogOwner(QWidget* owner) { dialogOwner_ = owner; }
    void setMessageHandler(MessageHandler handler) { showMessage_ = std::move(handler); }
    OpsActions& actions() { return actions_; }
    // Where "Broadcast to:" is kept and sent; without one the box is off.
    void setBroadcastSetting(BroadcastSetting* setting);

private:
    void buildVoicePart();
    void buildOptionsPart();
    void buildFlowPart();
    void buildLook();
    void connectControls();

    void ListEngines();
    void LoadOptions();
    void showEngineDetails(const VoiceEngineDetails& details);
    OpsChoices choices() const;
    void buildBroadcastPart();
    void showBroadcastStatus(const BroadcastStatus& status);
    // Keeps "Broadcast to:"; false (with its message) when it cannot.
    bool saveBroadcast();
    void message(QMessageBox::Icon icon, const QString& title, const QString& text);

    // A width below 0 sizes the label to its text; a height below 0 too.
    QLabel* label(const QString& name, const QString& text, int left, int top, int width = -1,
                  int height = -1);

    // A check box or an option button without a caption of its own.
    template <typename Box>
    Box* toggle(const QString& name, int left, int top, int width);
    QScrollBar* scrollBar(const QString& name, QRect geometryTwips, int minimum, int maximum,
                          int pageStep);
    QPushButton* button(int item, const QString& caption, int left, int top, int width,
                        const QString& tip);

    RadioSettings& vars_;
    OpsActions actions_;
    QPointer<QWidget> dialogOwner_;
    MessageHandler showMessage_;
    bool saved_ = false;

    QComboBox* ComboEngines = nullptr;
    QLabel* countLead_ = nullptr;  // "You have"
    QLabel* LblCount = nullptr;
    QLabel* countTail_ = nullptr;  // "voice engines available."
    QLabel* LblWhich = nullptr;
    QLabel* LblMfg = nullptr;
    QLabel* LblStyle = nullptr;
    QLabel* LblDialect = nullptr;
    QLabel* LblName = nullptr;
    QLabel* LblAge = nullptr;
    QLabel* LblSpeaker = nullptr;
    QLabel* LblSpeed = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option3 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QScrollBar* HScroll2 = nullptr;
    QScrollBar* TimeScroll = nullptr;
    QScrollBar* NewsScroll = nullptr;
    QLabel* TimeCount = nullptr;   // Label1 item 2
    QLabel* NewsCount = nullptr;   // Label1 item 0
    QLabel* FlushLabel = nullptr;  // Label1 item 3
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check3 = nullptr;
    QCheckBox* Check4 = nullptr;
    QCheckBox* Check5 = nullptr;
    QCheckBox* Check7 = nullptr;
    QCheckBox* Check8 = nullptr;
    QCheckBox* Check9 = nullptr;
    // Where the headlines come from (NewsHost); in the free band above the
    // option boxes, so nothing else moved for it.
    NewsHostBox* TxtNewsHost = nullptr;
    // The host names artists and what comes next (HostKnowsMusic), and the
    // crossfade in seconds (Crossfade); in free places of the options part.
    QCheckBox* Check10 = nullptr;
    QSpinBox* CrossfadeBox = nullptr;
    // Where the station is broadcast to, and how that stands; in the free
    // space beside the flush start, so nothing else moved for it.
    BroadcastBox* TxtBroadcast = nullptr;
    QLabel* LblBroadcastStatus = nullptr;
    BroadcastSetting* broadcast_ = nullptr;
};

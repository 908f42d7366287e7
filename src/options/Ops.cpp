// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/Ops.h"

#include "base/BusyCursor.h"
#include "broadcast/Broadcast.h"
#include "broadcast/BroadcastSetting.h"
#include "options/BroadcastBox.h"
#include "options/LabelRow.h"
#include "options/NewsHostBox.h"
#include "options/NumberFont.h"
#include "options/OpsAccessibleTexts.h"
#include "options/SpeakerPicture.h"
#include "settings/RadioSettings.h"
#include "speech/SpeechEngine.h"
#include "ui/CentredMessageBox.h"
#include "ui/PulsingLight.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <algorithm>
#include <exception>
#include <vector>

const QString Ops::kNotSupportedTitle = QStringLiteral("Not Supported!");
const QString Ops::kNotSupportedText = QStringLiteral("Voice engine doesn't support this feature");

namespace {

constexpr int kWidthTwips = 6675;
constexpr int kHeightTwips = 6390;
constexpr int kBoxHeightTwips = 255;
constexpr int kLineHeightTwips = 255;
constexpr int kButtonHeightTwips = 315;
constexpr int kShortButtonTwips = 735;
constexpr int kLongButtonTwips = 960;

// A scroll bar refuses a value outside its range instead of clamping it, so
// the bar keeps what it showed before.
bool setBarValue(QScrollBar* bar, long long value)
{
    if (value < bar->minimum() || value > bar->maximum()) {
        return false;
    }
    bar->setValue(static_cast<int>(value));
    return true;
}

QString digits(long long value)
{
    return QString::number(value);
}

// Widens the buttons of a row whose captions need it, the first where it
// was and the design's gaps between them kept, so that no caption touches
// its button's edges in a wider font.
void fitRow(std::initializer_list<QPushButton*> row)
{
    const std::vector<QPushButton*> buttons(row);
    if (buttons.size() < 2) {
        return;
    }
    const int gap = buttons[1]->x() - buttons[0]->geometry().right() - 1;
    int left = buttons.front()->x();
    for (QPushButton* button : buttons) {
        const QStyle* style = button->style();
        const int edges = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                          style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        const int width = std::max(
            button->width(), button->fontMetrics().horizontalAdvance(button->text()) + 2 * edges);
        button->setGeometry(left, button->y(), width, button->height());
        left += width + gap;
    }
}

}  // namespace

Ops::Ops(RadioSettings& settings, RandomSource& random, SpeechEngine& talk, QWidget* parent)
    : RoundedDialog(parent), vars_(settings), actions_(settings, random, talk)
{
    setObjectName(QStringLiteral("Ops"));
    setWindowTitle(QStringLiteral("Options"));
    setSizeTwips(kWidthTwips, kHeightTwips);
    // The layout was made for small 8 point captions.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    buildLook();
    buildVoicePart();
    buildOptionsPart();
    buildFlowPart();
    placeFades(6120, 6030);
    connectControls();
    applyAccessibleTexts(this, kOpsAccessibleTexts);
    setTabOrderByName(this, kOpsTabOrder);
}

Ops::~Ops() = default;

int Ops::exec()
{
    saved_ = false;
    Form_Load();
    const QPointer<Ops> alive(this);
    RoundedDialog::exec();
    return alive && saved_ ? Accepted : Rejected;
}

// ---- building -------------------------------------------------------------

void Ops::buildLook()
{
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("VideoSoftElastic1"));
    panel->setGeometry(rect());
    panel->setFrameShape(QFrame::Box);
    panel->setStyleSheet(QStringLiteral(
        "#VideoSoftElastic1 { border: 2px solid #400000; border-radius: 10px;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f4eeee, stop:1 #d8caca); }"));
    addDragSurface(panel);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    const QRect place = twips(90, 45, 300, 300);
    image->setGeometry(place);
    image->setPixmap(speakerPicture(place.width()));
}

void Ops::buildVoicePart()
{
    QLabel* title =
        label(QStringLiteral("Label2_0"), QStringLiteral("Voice Engines"), 4590, 90, 1860, 360);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() + 2);
    title->setFont(titleFont);

    const auto field = [this](const char* captionName, const char* caption, int captionLeft,
                              const char* valueName, int valueLeft, int top, int valueWidth) {
        QLabel* shown = label(QString::fromLatin1(captionName), QString::fromLatin1(caption),
                              captionLeft, top, -1, kLineHeightTwips);
        QLabel* value = label(QString::fromLatin1(valueName), QString(), valueLeft, top, valueWidth,
                              kLineHeightTwips);
        LabelRow::keepGapAfter(*shown, *value);
        return value;
    };
    LblMfg = field("CmdLbl_5", "Mfg:", 360, "LblMfg", 990, 360, 3510);
    LblStyle = field("CmdLbl_4", "Style:", 360, "LblStyle", 990, 630, 5500);
    LblDialect = field("CmdLbl_2", "Dialect:", 360, "LblDialect", 990, 900, 5500);
    LblName = field("CmdLbl_6", "Name:", 360, "LblName", 990, 1170, 1900);
    LblAge = field("CmdLbl_7", "Age:", 2910, "LblAge", 3330, 1170, 340);
    LblSpeaker = field("CmdLbl_8", "Speaker:", 3690, "LblSpeaker", 4410, 1170, 2200);

    countLead_ = label(QStringLiteral("CmdLbl_1"), QStringLiteral("You have"), 360, 1620, -1,
                       kLineHeightTwips);
    LblCount =
        label(QStringLiteral("LblCount"), QStringLiteral("0"), 1125, 1620, 300, kLineHeightTwips);
    countTail_ = label(QStringLiteral("CmdLbl_3"), QStringLiteral("voice engines available."), 1440,
                       1620, -1, kLineHeightTwips);
    // "You have 232 voice engines available." reads as one line.
    LabelRow::flow({countLead_, LblCount, countTail_});

    ComboEngines = new QComboBox(this);
    ComboEngines->setObjectName(QStringLiteral("ComboEngines"));
    ComboEngines->setGeometry(twips(360, 1890, 5325, 315));
    ComboEngines->setToolTip(QStringLiteral("Voice engines registered on your computer"));
    LblWhich = label(QStringLiteral("LblWhich"), QStringLiteral("0"), 5760, 1890, 465, 270);
    LblWhich->setToolTip(QStringLiteral("Engine number"));

    auto* genders = new QButtonGroup(this);
    Option1 = toggle<QRadioButton>(QStringLiteral("Option1"), 360, 2250, 270);
    Option2 = toggle<QRadioButton>(QStringLiteral("Option2"), 1170, 2250, 270);
    Option3 = toggle<QRadioButton>(QStringLiteral("Option3"), 2160, 2250, 270);
    for (QRadioButton* option : {Option1, Option2, Option3}) {
        genders->addButton(option);
    }
    label(QStringLiteral("Label1_10"), QStringLiteral("Male"), 630, 2250);
    label(QStringLiteral("Label1_1"), QStringLiteral("Female"), 1440, 2250);
    label(QStringLiteral("Label1_22"), QStringLiteral("Neutral  (Pat)"), 2430, 2250);

    const QString fastTip =
        QStringLiteral("Releases system while talking.  For really fast CPU's.");
    Check7 = toggle<QCheckBox>(QStringLiteral("Check7"), 3840, 2250, 240);
    Check7->setToolTip(fastTip);
    label(QStringLiteral("Label111_3"), QStringLiteral("Fast CPU"), 4080, 2280)
        ->setToolTip(fastTip);
    const QString slowTip = QStringLiteral("No buffering. Talks while music plays.");
    Check8 = toggle<QCheckBox>(QStringLiteral("Check8"), 4980, 2250, 240);
    Check8->setToolTip(slowTip);
    label(QStringLiteral("Label1_4"), QStringLiteral("Slow CPU"), 5220, 2280)->setToolTip(slowTip);

    fitRow({button(1, QStringLiteral("Information"), 360, 2700, kLongButtonTwips,
                   QStringLiteral("Displays a General dialog box that gives the user general "
                                  "control of the text-to-speech engine.")),
            button(3, QStringLiteral("Lexicon"), 1440, 2700, kLongButtonTwips,
                   QStringLiteral("Displays a Lexicon dialog box that allows the user to view "
                                  "and edit the pronunciation lexicon.")),
            button(4, QStringLiteral("Translate"), 2520, 2700, kLongButtonTwips,
                   QStringLiteral("Displays a Translation dialog box that allows the user to "
                                  "control symbols, currencies, abbreviations, and "
                                  "number-translation techniques."))});

    label(QStringLiteral("CmdLbl_0"), QStringLiteral("Voice Speed"), 4050, 2610);
    HScroll1 = scrollBar(QStringLiteral("HScroll1"), QRect(4050, 2830, 1095, 125), 10, 500, 10);
    HScroll1->setValue(125);
    LblSpeed = label(QStringLiteral("LblSpeed"), QStringLiteral("125"), 5175, 2745, 465, 255);
    button(5, QStringLiteral("Test"), 4950, 1530, kShortButtonTwips, QString());
}

void Ops::buildOptionsPart()
{
    QLabel* title =
        label(QStringLiteral("Label2_1"), QStringLiteral("Options"), 5400, 3330, 975, 360);
    title->setFont(findChild<QLabel*>(QStringLiteral("Label2_0"))->font());

    QLabel* caption = label(QStringLiteral("LblNewsHost"), NewsHostBox::kCaption, 360, 3390);
    TxtNewsHost = new NewsHostBox(*caption, twips(1530, 3345, 3690, 285), this);
    Check1 = toggle<QCheckBox>(QStringLiteral("Check1"), 630, 3780, 270);
    label(QStringLiteral("Label3_4"), QStringLiteral("Loop"), 900, 3810)
        ->setToolTip(QStringLiteral("Play all songs."));
    Check5 = toggle<QCheckBox>(QStringLiteral("Check5"), 1710, 3780, 270);
    label(QStringLiteral("Label3_1"), QStringLiteral("Stay on Top"), 1980, 3810)
        ->setToolTip(QStringLiteral("Keeps ZA3-Revez on top of other windows."));
    Check2 = toggle<QCheckBox>(QStringLiteral("Check2"), 630, 4140, 270);
    label(QStringLiteral("Label3_2"), QStringLiteral("Random"), 900, 4170)
        ->setToolTip(QStringLiteral("Randomize the  play selection."));
    Check9 = toggle<QCheckBox>(QStringLiteral("Check9"), 1710, 4140, 270);
    label(QStringLiteral("Label3_3"), QStringLiteral("Hide Progress Bar"), 1980, 4170)
        ->setToolTip(QStringLiteral("Hides the progress bar."));

    label(QStringLiteral("Label3_5"), QStringLiteral("After how many songs?"), 3690, 3960)
        ->setToolTip(
            QStringLiteral("Select how many songs to play before I announce the time and news."));
    const QString songsTip = QStringLiteral("Number of Songs.");
    label(QStringLiteral("LblMany_2"), QStringLiteral("Time"), 3690, 4230);
    TimeScroll = scrollBar(QStringLiteral("TimeScroll"), QRect(3690, 4440, 735, 125), 0, 999, 10);
    TimeCount =
        label(QStringLiteral("Label1_2"), QStringLiteral("0"), 4440, 4395, 540, kLineHeightTwips);
    TimeCount->setToolTip(songsTip);
    label(QStringLiteral("LblMany_0"), QStringLiteral("News"), 5040, 4230);
    NewsScroll = scrollBar(QStringLiteral("NewsScroll"), QRect(5040, 4440, 735, 125), 0, 999, 10);
    NewsCount =
        label(QStringLiteral("Label1_0"), QStringLiteral("0"), 5790, 4395, 600, kLineHeightTwips);
    NewsCount->setToolTip(songsTip);

    const QString randomTip = QStringLiteral("Announce time after random number of songs.");
    Check3 = toggle<QCheckBox>(QStringLiteral("Check3"), 3690, 4770, 270);
    Check3->setToolTip(randomTip);
    label(QStringLiteral("Label1_8"), QStringLiteral("After random number of songs"), 3960, 4800)
        ->setToolTip(randomTip);

    Check4 = toggle<QCheckBox>(QStringLiteral("Check4"), 1350, 4770, 270);
    Check4->setToolTip(QStringLiteral("Use this if playing, but you don't hear anything"));
    label(QStringLiteral("Label3_0"), QStringLiteral("Flushback"), 1620, 4815);
    HScroll2 = scrollBar(QStringLiteral("HScroll2"), QRect(1350, 5200, 825, 105), 10, 32000, 25);
    HScroll2->setValue(500);
    FlushLabel =
        label(QStringLiteral("Label1_3"), QStringLiteral("500"), 2190, 5130, 600, kLineHeightTwips);
    QLabel* hint =
        label(QStringLiteral("Label2_2"), QStringLiteral("Use if no sound is heard while playing."),
              1170, 5400, 1455, 645);
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    for (QLabel* number : {TimeCount, NewsCount, FlushLabel}) {
        number->setFont(numberFont());
    }

    buildBroadcastPart();

    button(2, QStringLiteral("Save"), 4140, 5850, kShortButtonTwips,
           QStringLiteral("Save changes"));
    button(0, QStringLiteral("Cancel"), 5040, 5850, kShortButtonTwips, QStringLiteral("Cancel"));
}

void Ops::buildFlowPart()
{
    const QString hostTip =
        QStringLiteral("The announcer names the artist and the song that comes next.");
    Check10 = toggle<QCheckBox>(QStringLiteral("Check10"), 630, 4470, 270);
    Check10->setToolTip(hostTip);
    label(QStringLiteral("Label3_6"), QStringLiteral("Name Artists"), 900, 4500)
        ->setToolTip(hostTip);

    const QString fadeTip =
        QStringLiteral("Seconds a song starts under the end of the one before; 0 for none.");
    label(QStringLiteral("LblCrossfade"), QStringLiteral("Crossfade (seconds)"), 3690, 5430)
        ->setToolTip(fadeTip);
    CrossfadeBox = new QSpinBox(this);
    CrossfadeBox->setObjectName(QStringLiteral("CrossfadeBox"));
    CrossfadeBox->setGeometry(twips(5430, 5385, 660, 300));
    CrossfadeBox->setRange(0, RadioSettings::kMaxCrossfade);
    CrossfadeBox->setToolTip(fadeTip);
}

void Ops::buildBroadcastPart()
{
    QLabel* caption = label(QStringLiteral("LblBroadcast"), BroadcastBox::kCaption, 2970, 5130);
    // The status stands beside the box, so the row under it stays free for
    // the crossfade; the whole status shows in its tip.
    TxtBroadcast = new BroadcastBox(*caption, twips(3870, 5100, 1560, 285), this);
    LblBroadcastStatus =
        label(QStringLiteral("LblBroadcastStatus"), QString(), 5490, 5130, 1035, kLineHeightTwips);
    showBroadcastStatus({});
}

void Ops::setBroadcastSetting(BroadcastSetting* setting)
{
    if (broadcast_ != nullptr) {
        disconnect(&broadcast_->broadcast(), nullptr, this, nullptr);
    }
    broadcast_ = setting;
    if (broadcast_ != nullptr) {
        connect(&broadcast_->broadcast(), &Broadcast::statusChanged, this,
                &Ops::showBroadcastStatus);
    }
}

void Ops::showBroadcastStatus(const BroadcastStatus& status)
{
    // A long reason shows whole in the tip.
    LblBroadcastStatus->setText(LblBroadcastStatus->fontMetrics().elidedText(
        status.text(), Qt::ElideRight, LblBroadcastStatus->width()));
    LblBroadcastStatus->setToolTip(QStringLiteral("Broadcast: %1").arg(status.text()));
}

bool Ops::saveBroadcast()
{
    if (broadcast_ == nullptr) {
        return true;
    }
    if (const std::optional<QString> why = broadcast_->apply(TxtBroadcast->text())) {
        message(QMessageBox::Warning, BroadcastBox::kRefusedTitle, BroadcastBox::refusedText(*why));
        return false;
    }
    return true;
}

void Ops::connectControls()
{
    connect(ComboEngines, &QComboBox::currentIndexChanged, this, [this](int position) {
        if (position >= 0) {
            ComboEngines_Click();
        }
    });
    const auto show = [this](QScrollBar* bar, QLabel* number) {
        connect(bar, &QScrollBar::valueChanged, number,
                [number](int value) { number->setText(digits(value)); });
    };
    show(HScroll1, LblSpeed);
    show(HScroll2, FlushLabel);
    show(TimeScroll, TimeCount);
    show(NewsScroll, NewsCount);
}

QLabel* Ops::label(const QString& name, const QString& text, int left, int top, int width,
                   int height)
{
    auto* result = new QLabel(text, this);
    result->setObjectName(name);
    const QSize fitted = result->sizeHint();
    const QRect place = twips(left, top, std::max(width, 0), std::max(height, 0));
    result->setGeometry(place.x(), place.y(), width < 0 ? fitted.width() : place.width(),
                        height < 0 ? fitted.height() : place.height());
    return result;
}

template <typename Box>
Box* Ops::toggle(const QString& name, int left, int top, int width)
{
    auto* box = new Box(this);
    box->setObjectName(name);
    box->setGeometry(twips(left, top, width, kBoxHeightTwips));
    return box;
}

QScrollBar* Ops::scrollBar(const QString& name, QRect geometryTwips, int minimum, int maximum,
                           int pageStep)
{
    auto* bar = new QScrollBar(Qt::Horizontal, this);
    bar->setObjectName(name);
    bar->setGeometry(
        twips(geometryTwips.x(), geometryTwips.y(), geometryTwips.width(), geometryTwips.height()));
    bar->setRange(minimum, maximum);
    bar->setPageStep(pageStep);
    bar->setSingleStep(1);
    bar->setFocusPolicy(Qt::StrongFocus);  // arrow keys move it
    return bar;
}

QPushButton* Ops::button(int item, const QString& caption, int left, int top, int width,
                         const QString& tip)
{
    auto* result = new QPushButton(caption, this);
    result->setObjectName(QStringLiteral("CmdOps_%1").arg(item));
    result->setGeometry(twips(left, top, width, kButtonHeightTwips));
    result->setAutoDefault(false);
    if (!tip.isEmpty()) {
        result->setToolTip(tip);
    }
    connect(result, &QPushButton::clicked, this, [this, item] { CmdOps_Click(item); });
    return result;
}

// ---- loading --------------------------------------------------------------

void Ops::Form_Load()
{
    ListEngines();
    LoadOptions();
    ShowNormalCursor();
}

void Ops::ListEngines()
{
    const QSignalBlocker quiet(ComboEngines);
    ComboEngines->clear();
    const std::optional<int> count = actions_.engineCount();
    if (!count) {
        return;
    }
    LblCount->setText(digits(*count));
    // "You have 232 voice engines available." reads as one line.
    LabelRow::flow({countLead_, LblCount, countTail_});
    ComboEngines->addItems(actions_.engineEntries(*count));
    // Filling picks the first entry; the stored engine number picks instead.
    ComboEngines->setCurrentIndex(-1);
}

void Ops::LoadOptions()
{
    Check4->setChecked(vars_.FlushBack);
    // Whether the flush start can be tuned follows the setting as it was at
    // opening, not the box.
    HScroll2->setEnabled(vars_.FlushBack);
    FlushLabel->setEnabled(vars_.FlushBack);

    Check3->setChecked(vars_.Randoms);
    Check2->setChecked(vars_.Rands);
    Check1->setChecked(vars_.Loops);
    Check7->setChecked(vars_.Release);
    Check9->setChecked(vars_.Progressbar);
    Check8->setChecked(vars_.Slow);
    Check5->setChecked(vars_.MakeItTop);
    Check10->setChecked(vars_.HostKnowsMusic);
    CrossfadeBox->setValue(vars_.Crossfade);
    TxtNewsHost->setText(actions_.newsHost());
    TxtBroadcast->setEnabled(broadcast_ != nullptr);
    TxtBroadcast->setText(broadcast_ != nullptr ? broadcast_->address() : QString());
    showBroadcastStatus(broadcast_ != nullptr ? broadcast_->broadcast().status()
                                              : BroadcastStatus{});

    // A stored value outside a bar's range shows in the label and leaves the
    // bar where it was.
    TimeCount->setText(digits(vars_.ManyTime));
    NewsCount->setText(digits(vars_.ManyNews));
    FlushLabel->setText(digits(vars_.FlushCount));
    setBarValue(TimeScroll, vars_.ManyTime);
    setBarValue(NewsScroll, vars_.ManyNews);
    setBarValue(HScroll2, vars_.FlushCount);

    const long long position = static_cast<long long>(vars_.EngineNum) - 1;
    if (position >= 0 && position < ComboEngines->count()) {
        {
            const QSignalBlocker quiet(ComboEngines);
            ComboEngines->setCurrentIndex(static_cast<int>(position));
        }
        ComboEngines_Click();
    }
    setBarValue(HScroll1, vars_.EngineSpeed);
}

void Ops::ComboEngines_Click()
{
    const int engine = ComboEngines->currentIndex() + 1;
    showEngineDetails(actions_.details(engine));
    LblWhich->setText(digits(engine));
    if (const std::optional<int> speed = actions_.currentSpeed()) {
        setBarValue(HScroll1, *speed);
        LblSpeed->setText(digits(*speed));
    }
    actions_.chooseEngine(engine);
}

void Ops::showEngineDetails(const VoiceEngineDetails& details)
{
    const auto show = [](QLabel* label, const std::optional<QString>& text) {
        if (text) {
            LabelRow::showWithin(*label, *text);
        }
    };
    show(LblMfg, details.manufacturer);
    show(LblDialect, details.dialect);
    show(LblStyle, details.style);
    show(LblName, details.name);
    if (details.age) {
        LblAge->setText(digits(*details.age));
    }
    show(LblSpeaker, details.speaker);
    if (details.gender) {
        constexpr int kMale = 2;
        constexpr int kFemale = 1;
        QRadioButton* option = *details.gender == kMale     ? Option1
                               : *details.gender == kFemale ? Option2
                                                            : Option3;
        option->setChecked(true);
    }
}

// ---- buttons --------------------------------------------------------------

void Ops::CmdOps_Click(int index)
{
    const int engine = ComboEngines->currentIndex() + 1;
    QWidget* owner = dialogOwner_ ? dialogOwner_.data() : this;
    try {
        switch (index) {
            case 0:
                close();
                break;
            case 1:
                actions_.showDialog(EngineDialog::General, owner);
                break;
            case 2:
                // A broadcast address it cannot use stops the saving before
                // anything is written, as a refused headline source does.
                if (const std::optional<QString> why =
                        BroadcastSetting::refusal(TxtBroadcast->text());
                    why && broadcast_ != nullptr) {
                    message(QMessageBox::Warning, BroadcastBox::kRefusedTitle,
                            BroadcastBox::refusedText(*why));
                    break;
                }
                actions_.save(choices());
                saved_ = true;
                if (saveBroadcast()) {
                    close();
                }
                break;
            case 3:
                actions_.showDialog(EngineDialog::Lexicon, owner);
                break;
            case 4:
                actions_.showDialog(EngineDialog::Translation, owner);
                break;
            case 5:
                actions_.tryVoice(engine, HScroll1->value());
                break;
            default:
                break;
        }
    } catch (const OpsActions::RefusedNewsHost&) {
        // Nothing was written; the window stays open for a correction.
        message(QMessageBox::Warning, NewsHostBox::kRefusedTitle, NewsHostBox::kRefusedText);
    } catch (const std::exception&) {
        message(QMessageBox::Information, kNotSupportedTitle, kNotSupportedText);
    }
}

OpsChoices Ops::choices() const
{
    OpsChoices c;
    c.engineNumber = ComboEngines->currentIndex() + 1;
    c.speed = HScroll1->value();
    c.progressbar = Check9->isChecked();
    c.release = Check7->isChecked();
    c.slow = Check8->isChecked();
    c.rands = Check2->isChecked();
    c.loops = Check1->isChecked();
    c.makeItTop = Check5->isChecked();
    c.flushBack = Check4->isChecked();
    c.randoms = Check3->isChecked();
    c.flushCountText = FlushLabel->text();
    c.manyTime = static_cast<std::int16_t>(TimeScroll->value());
    c.manyNews = static_cast<std::int16_t>(NewsScroll->value());
    c.newsHost = TxtNewsHost->text().trimmed();
    c.hostKnowsMusic = Check10->isChecked();
    c.crossfade = static_cast<std::int16_t>(CrossfadeBox->value());
    return c;
}

void Ops::message(QMessageBox::Icon icon, const QString& title, const QString& text)
{
    if (showMessage_) {
        showMessage_(icon, title, text);
        return;
    }
    CentredMessageBox box(icon, title, text, QMessageBox::Ok, this);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.show();
    box.raise();
    box.activateWindow();
    box.exec();
}

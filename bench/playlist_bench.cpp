// SPDX-License-Identifier: GPL-3.0-or-later
// Times the playlist window's heavy paths: saving and loading a playlist of
// 32,767 entries, listing a folder of 10,000 audio files into List1, moving
// all of them into List2, and loading the big playlist into List2.
#include "audio/MpegPlayer.h"
#include "audio/PlayerEvents.h"
#include "base/RandomSource.h"
#include "playback/AcceptedPlaylist.h"
#include "playlist/PlaylistStore.h"
#include "playlist/Prompter.h"
#include "playlistwindow/Playlist.h"
#include "settings/RadioSettings.h"
#include "speech/SpeechEngine.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

constexpr int kEntries = 32767;
constexpr int kFolderFiles = 10000;

class SilentPrompter : public Prompter {
public:
    PromptAnswer ask(const Prompt& prompt) override
    {
        return prompt.buttons == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
};

class QuietPlayer : public MpegPlayer {
public:
    QString OpenMPEG(quintptr, const QString&, const QString&) override { return {}; }
    std::int32_t GetTotalframes() override { return 0; }
    QString PlayMPEG(std::int32_t, std::int32_t) override { return {}; }
    std::int32_t GetPercent() override { return 0; }
    std::int32_t GetPositionMs() override { return 0; }
    std::int16_t AreMPEGAtEnd() override { return 0; }
    void PauseMPEG() override {}
    void ResumeMPEG() override {}
    void StopMPEG() override {}
    void CloseMPEG() override {}
    void SetAutoRepeat(bool) override {}
    PlayerEvents& events() override { return events_; }
    void preloadNext(const QString&, FollowOn, std::int32_t) override {}
    void setCrossfade(std::int32_t) override {}

private:
    PlayerEvents events_;
};

class QuietVoice : public SpeechEngine {
public:
    void speak(const QString&) override {}
    void stop() override { emit speechStopped(); }
    int speakingState() const override { return 0; }
    int speed() const override { return 165; }
    void setSpeed(int) override {}
    void generalDialog(QWidget*, const QString&) override {}
    void lexiconDialog(QWidget*, const QString&) override {}
    void translationDialog(QWidget*, const QString&) override {}
    int engineCount() const override { return 0; }
    QString engineName(int) const override { return {}; }
    QString engineManufacturer(int) const override { return {}; }
    QString engineListEntry(int) const override { return {}; }
    QString engineSpeaker(int) const override { return {}; }
    QString engineStyle(int) const override { return {}; }
    QString engineDialect(int) const override { return {}; }
    int engineGender(int) const override { return 0; }
    int engineAge(int) const override { return 0; }
    void selectEngine(int) override {}
};

double timeMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

QStringList bigPlaylist()
{
    QStringList paths;
    paths.reserve(kEntries);
    for (int i = 0; i < kEntries; ++i) {
        paths << QStringLiteral("/home/listener/Music/Artist %1/Album %2/%3 - Track title.mp3")
                     .arg(i % 97)
                     .arg(i % 13)
                     .arg(i, 5, 10, QLatin1Char('0'));
    }
    return paths;
}

void makeAudioFolder(const QString& folder)
{
    for (int i = 0; i < kFolderFiles; ++i) {
        QFile file(folder + QStringLiteral("/%1 - song.mp3").arg(i, 5, 10, QLatin1Char('0')));
        if (file.open(QIODevice::WriteOnly)) {
            file.write("x");
        }
    }
}

void click(QWidget* widget)
{
    const QPointF at = widget->rect().center();
    const QPointF global = widget->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, {});
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QTemporaryDir playlists;
    QTemporaryDir music;
    makeAudioFolder(music.path());

    AcceptedPlaylist playlist;
    SilentPrompter prompter;
    QuietPlayer player;
    QuietVoice voice;
    Playlist window(playlist, voice, player, prompter, PlaylistStore(playlists.path()),
                    PlaylistWindowLinks{});
    window.show();
    QApplication::processEvents();
    auto* list1 = window.findChild<QListView*>(QStringLiteral("List1"));
    auto* list2 = window.findChild<QListView*>(QStringLiteral("List2"));
    auto* combo1 = window.findChild<QComboBox*>(QStringLiteral("Combo1"));

    const QStringList paths = bigPlaylist();
    PlaylistStore store(playlists.path());
    const QString file = store.fileFor(QStringLiteral("big"));
    const double saveMs = timeMs([&] { store.write(file, paths); });
    std::size_t loaded = 0;
    const double loadMs = timeMs([&] { loaded = store.read(file).value_or(QStringList()).size(); });
    std::printf("save %d entries ms: %.1f\n", kEntries, saveMs);
    std::printf("load %d entries ms: %.1f (%zu read)\n", kEntries, loadMs, loaded);

    const double listMs = timeMs([&] {
        window.openFolder(music.path());
        list1->repaint();
    });
    std::printf("list %d files into List1 ms: %.1f (%d shown)\n", kFolderFiles, listMs,
                list1->model()->rowCount());

    auto* all = window.findChild<QWidget*>(QStringLiteral("All"));
    const double allMs = timeMs([&] {
        click(all);
        list2->repaint();
    });
    std::printf("all %d files into List2 ms: %.1f (%d entries)\n", kFolderFiles, allMs,
                list2->model()->rowCount());

    combo1->setEditText(QStringLiteral("big"));
    auto* load = window.findChild<QPushButton*>(QStringLiteral("CmdPlaylist_1"));
    const double windowLoadMs = timeMs([&] {
        load->click();
        list2->repaint();
    });
    std::printf("ratio load into List2 / load from file: %.2f\n",
                loadMs > 0 ? windowLoadMs / loadMs : 0.0);
    std::printf("load %d into List2 ms: %.1f\n", list2->model()->rowCount(), windowLoadMs);
    return 0;
}

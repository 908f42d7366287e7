#pragma once

#include "core/RandomSource.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>

class CRegSettings;

// The program-wide shared state. One instance is built in main() and handed
// by reference to the windows and operations that need it; tests build their
// own. GUI thread only.
class Tolvars {
public:
    Tolvars();
    ~Tolvars();
    Tolvars(const Tolvars&) = delete;
    Tolvars& operator=(const Tolvars&) = delete;

    // Settings store and its section (set up by InitSettings).
    std::unique_ptr<CRegSettings> Settings;
    QString SettingsSection;

    // Setting variables, named after their keys.
    bool NowTime = false;
    bool NowNews = false;
    std::int16_t ManyTime = 0;
    std::int16_t ManyNews = 0;
    bool Loops = false;
    bool Rands = false;
    bool Release = false;
    bool Slow = false;
    bool FlushBack = false;
    bool Randoms = false;
    bool MakeItTop = false;
    bool Progressbar = false;
    std::int16_t FlushCount = 0;
    std::int32_t EngineNum = 0;
    std::int32_t EngineSpeed = 0;

    // The accepted playlist: SongList is 1-based through song().
    QStringList SongList;
    std::int32_t SongCount = 0;
    std::int16_t SongIndex = 0;
    QString SongFile;
    bool ListAccepted = false;

    // Playback and announcer state.
    bool Playing = false;
    QString SongTitle;
    QString SpeechText;
    QString CommentBase;
    bool TimeDue = false;
    bool NewsDue = false;
    std::int16_t SongsSinceTime = 0;
    std::int16_t SongsSinceNews = 0;
    std::int16_t LastPick = 0;
    std::int32_t StartFrame = 0;
    std::int32_t EndFrame = 0;
    QString FlushFrom;
    std::int32_t SpinCount = 0;

    // The file handed to the tag editor, and the line end of playlist files.
    QString TagFile;
    QString NewLine = QStringLiteral("\r\n");

    RandomSource Random;

    // SongList(index) with a 1-based index; no value outside 1..size.
    std::optional<QString> song(std::int32_t index) const;
};

// True when the file's length can be read and is above zero.
bool FileExists(const QString& path);
// The screen-wide busy pointer on and off (no-ops without a GUI application).
void ShowBusyCursor();
void ShowNormalCursor();

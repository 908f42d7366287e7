#pragma once

#include <QLatin1String>
#include <functional>

class SpeechEngine;
class Tolvars;

// One kept setting: the key it is stored under (in the "Options" section) and
// the text that stands for it while nothing is stored.
struct CatalogueEntry {
    QLatin1String key;
    QLatin1String defaultText;
};

// The fifteen settings, each held in the Tolvars variable of the same name.
namespace catalogue {
inline constexpr CatalogueEntry NowTime{QLatin1String("NowTime"), QLatin1String("True")};
inline constexpr CatalogueEntry NowNews{QLatin1String("NowNews"), QLatin1String("False")};
inline constexpr CatalogueEntry ManyTime{QLatin1String("ManyTime"), QLatin1String("4")};
inline constexpr CatalogueEntry ManyNews{QLatin1String("ManyNews"), QLatin1String("15")};
inline constexpr CatalogueEntry Loops{QLatin1String("Loops"), QLatin1String("True")};
inline constexpr CatalogueEntry Rands{QLatin1String("Rands"), QLatin1String("False")};
inline constexpr CatalogueEntry Release{QLatin1String("Release"), QLatin1String("False")};
inline constexpr CatalogueEntry Progressbar{QLatin1String("Progressbar"), QLatin1String("False")};
inline constexpr CatalogueEntry Slow{QLatin1String("Slow"), QLatin1String("False")};
inline constexpr CatalogueEntry FlushBack{QLatin1String("FlushBack"), QLatin1String("True")};
inline constexpr CatalogueEntry FlushCount{QLatin1String("FlushCount"), QLatin1String("500")};
inline constexpr CatalogueEntry EngineNum{QLatin1String("EngineNum"), QLatin1String("1")};
inline constexpr CatalogueEntry EngineSpeed{QLatin1String("EngineSpeed"), QLatin1String("165")};
inline constexpr CatalogueEntry Randoms{QLatin1String("Randoms"), QLatin1String("False")};
inline constexpr CatalogueEntry MakeItTop{QLatin1String("MakeItTop"), QLatin1String("True")};
}  // namespace catalogue

// Shows NowTime and NowNews on the main window's two boxes. A box whose state
// changes runs its click handler, which stores both switches.
using AnnouncerBoxes = std::function<void(bool nowTime, bool nowNews)>;

// Creates the settings store and points it at the program's own place.
void InitSettings(Tolvars& state);

// Reads every setting into the shared variables at start, shows the two
// announcer switches, selects the voice and its speed (voice may be null) and,
// with Randoms on, draws the counts in use. A failing step is skipped; a text
// that does not convert leaves its variable as it was.
void LoadSettings(Tolvars& state, SpeechEngine* voice, const AnnouncerBoxes& showBoxes);

// Stores NowTime, then NowNews.
void SaveAnnouncerSwitches(Tolvars& state);

// The count of songs in use with Randoms on, from a draw r in [0, 1): r × 50 + 1
// rounded half to even, so 1..51.
int randomCount(double r);

#include "settings/SettingsCatalogue.h"

#include "core/Tolvars.h"
#include "settings/CRegSettings.h"
#include "settings/SettingText.h"
#include "speech/SpeechEngine.h"

#include <cmath>
#include <exception>

namespace {
QString readText(const Tolvars& state, const CatalogueEntry& entry)
{
    const QString fallback(entry.defaultText);
    if (!state.Settings) {
        return fallback;
    }
    return state.Settings->GetSetting(state.SettingsSection, QString(entry.key), fallback);
}

void read(const Tolvars& state, const CatalogueEntry& entry, bool& target)
{
    if (const auto value = booleanFromText(readText(state, entry))) {
        target = *value;
    }
}

void read(const Tolvars& state, const CatalogueEntry& entry, std::int16_t& target)
{
    if (const auto value = integerFromText(readText(state, entry))) {
        target = *value;
    }
}

void read(const Tolvars& state, const CatalogueEntry& entry, std::int32_t& target)
{
    if (const auto value = longFromText(readText(state, entry))) {
        target = *value;
    }
}

// Start-up goes on whatever one step does.
template <typename Step>
void guarded(Step&& step)
{
    try {
        step();
    } catch (const std::exception&) {
    }
}
}  // namespace

void InitSettings(Tolvars& state)
{
    state.Settings = std::make_unique<CRegSettings>();
    state.Settings->setCompany(QStringLiteral("Quintaviel Software"));
    state.Settings->setAppName(QStringLiteral("Tolvar MP3 v1.0"));
    state.SettingsSection = QStringLiteral("Options");
}

void LoadSettings(Tolvars& state, SpeechEngine* voice, const AnnouncerBoxes& showBoxes)
{
    guarded([&] { InitSettings(state); });

    read(state, catalogue::NowTime, state.NowTime);
    read(state, catalogue::NowNews, state.NowNews);
    if (showBoxes) {
        guarded([&] { showBoxes(state.NowTime, state.NowNews); });
    }

    read(state, catalogue::ManyTime, state.ManyTime);
    read(state, catalogue::ManyNews, state.ManyNews);
    read(state, catalogue::Loops, state.Loops);
    read(state, catalogue::Rands, state.Rands);
    read(state, catalogue::Release, state.Release);
    read(state, catalogue::Progressbar, state.Progressbar);
    read(state, catalogue::Slow, state.Slow);
    read(state, catalogue::FlushBack, state.FlushBack);
    read(state, catalogue::FlushCount, state.FlushCount);
    read(state, catalogue::EngineNum, state.EngineNum);
    read(state, catalogue::EngineSpeed, state.EngineSpeed);

    if (voice != nullptr) {
        guarded([&] { voice->selectEngine(state.EngineNum); });
        guarded([&] { voice->setSpeed(state.EngineSpeed); });
    }

    read(state, catalogue::Randoms, state.Randoms);
    if (state.Randoms) {
        state.ManyTime = static_cast<std::int16_t>(randomCount(state.Random.next()));
        state.ManyNews = static_cast<std::int16_t>(randomCount(state.Random.next()));
    }

    read(state, catalogue::MakeItTop, state.MakeItTop);
}

void SaveAnnouncerSwitches(Tolvars& state)
{
    if (!state.Settings) {
        return;
    }
    state.Settings->SaveSetting(state.SettingsSection, QString(catalogue::NowTime.key),
                                booleanText(state.NowTime));
    state.Settings->SaveSetting(state.SettingsSection, QString(catalogue::NowNews.key),
                                booleanText(state.NowNews));
}

int randomCount(double r)
{
    return static_cast<int>(std::nearbyint(r * 50.0 + 1.0));
}

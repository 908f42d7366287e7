// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/OpsActions.h"

#include "base/RandomSource.h"
#include "feed/FeedAddress.h"
#include "settings/RadioSettings.h"
#include "settings/SettingText.h"
#include "settings/SettingsCatalogue.h"
#include "speech/SpeechEngine.h"

#include <algorithm>
#include <stdexcept>

const QString OpsActions::kTestSentence =
    QStringLiteral("This is a test ... testing, testing, ... how do I sound now?");

namespace {

// Runs one read; a read that fails leaves the field empty.
template <typename T, typename Read>
std::optional<T> tryRead(Read read)
{
    try {
        return read();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

OpsActions::OpsActions(RadioSettings& settings, RandomSource& random, SpeechEngine& talk)
    : vars_(settings), random_(random), talk_(talk)
{
}

std::optional<int> OpsActions::engineCount() const
{
    return tryRead<int>([this] { return talk_.engineCount(); });
}

QStringList OpsActions::engineEntries(int count) const
{
    QStringList entries;
    for (int engine = 1; engine <= count; ++engine) {
        entries << tryRead<QString>([&] {
                       return talk_.engineListEntry(engine);
                   }).value_or(QString());
    }
    return entries;
}

VoiceEngineDetails OpsActions::details(int engine) const
{
    VoiceEngineDetails d;
    d.manufacturer = tryRead<QString>([&] { return talk_.engineManufacturer(engine); });
    d.dialect = tryRead<QString>([&] { return talk_.engineDialect(engine); });
    d.style = tryRead<QString>([&] { return talk_.engineStyle(engine); });
    d.name = tryRead<QString>([&] { return talk_.engineName(engine); });
    d.age = tryRead<int>([&] { return talk_.engineAge(engine); });
    d.speaker = tryRead<QString>([&] { return talk_.engineSpeaker(engine); });
    d.gender = tryRead<int>([&] { return talk_.engineGender(engine); });
    return d;
}

std::optional<int> OpsActions::currentSpeed() const
{
    return tryRead<int>([this] { return talk_.speed(); });
}

void OpsActions::chooseEngine(int engine)
{
    vars_.EngineNum = engine;
}

void OpsActions::showDialog(EngineDialog which, QWidget* owner)
{
    switch (which) {
        case EngineDialog::General:
            talk_.generalDialog(owner, QString());
            break;
        case EngineDialog::Lexicon:
            talk_.lexiconDialog(owner, QString());
            break;
        case EngineDialog::Translation:
            talk_.translationDialog(owner, QString());
            break;
    }
}

void OpsActions::tryVoice(int engine, int speed)
{
    talk_.selectEngine(engine);
    talk_.setSpeed(speed);
    talk_.speak(kTestSentence);
}

void OpsActions::save(const OpsChoices& choices)
{
    if (choices.newsHost && !acceptsNewsHost(*choices.newsHost)) {
        throw RefusedNewsHost();
    }
    talk_.selectEngine(choices.engineNumber);
    talk_.setSpeed(choices.speed);

    vars_.EngineNum = choices.engineNumber;
    write(vars_.EngineNum);
    // The voice's identity keeps the choice when engine numbers move.
    const QString identity = talk_.engineIdentity(choices.engineNumber);
    if (!identity.isEmpty()) {
        writeText(QString(RadioSettings::kEngineVoiceKey), identity);
    }
    vars_.EngineSpeed = choices.speed;
    write(vars_.EngineSpeed);

    saveFlag(vars_.Progressbar, choices.progressbar);
    saveFlag(vars_.Release, choices.release);
    saveFlag(vars_.Slow, choices.slow);
    saveFlag(vars_.Rands, choices.rands);
    saveFlag(vars_.Loops, choices.loops);
    saveFlag(vars_.MakeItTop, choices.makeItTop);
    saveFlag(vars_.FlushBack, choices.flushBack);

    const std::optional<std::int16_t> flushCount = integerFromText(choices.flushCountText);
    if (!flushCount) {
        throw std::invalid_argument("the flush start is not a whole number");
    }
    vars_.FlushCount = *flushCount;
    write(vars_.FlushCount);

    vars_.ManyTime = choices.manyTime;
    write(vars_.ManyTime);
    vars_.ManyNews = choices.manyNews;
    write(vars_.ManyNews);

    // The store keeps the bar values; only the counts in use are random.
    if (choices.randoms) {
        random_.seedFromClock();
        vars_.Randoms = true;
        vars_.ManyTime = drawCount();
        vars_.ManyNews = drawCount();
    } else {
        vars_.Randoms = false;
    }
    write(vars_.Randoms);

    saveFlag(vars_.HostKnowsMusic, choices.hostKnowsMusic);
    vars_.Crossfade = std::clamp<std::int16_t>(choices.crossfade, 0, RadioSettings::kMaxCrossfade);
    write(vars_.Crossfade);

    if (choices.newsHost && *choices.newsHost != newsHost()) {
        vars_.writeText(FeedAddress::settingKey(), *choices.newsHost);
        if (afterWrite_) {
            afterWrite_(FeedAddress::settingKey());
        }
    }
}

QString OpsActions::newsHost() const
{
    return vars_.storedText(FeedAddress::settingKey(), FeedAddress::defaultHost()).trimmed();
}

bool OpsActions::acceptsNewsHost(const QString& value)
{
    return FeedAddress::isAcceptable(value);
}

void OpsActions::write(const SettingBase& setting)
{
    writeText(setting.key(), setting.text());
}

void OpsActions::writeText(const QString& key, const QString& text)
{
    if (!vars_.Settings) {
        throw std::logic_error("the settings store is not set up");
    }
    // A failed write is not reported: the variable in use already holds the value.
    vars_.writeText(key, text);
    if (afterWrite_) {
        afterWrite_(key);
    }
}

void OpsActions::setAfterWrite(std::function<void(const QString& key)> observer)
{
    afterWrite_ = std::move(observer);
}

void OpsActions::saveFlag(Setting<bool>& setting, bool checked)
{
    setting = checked;
    write(setting);
}

std::int16_t OpsActions::drawCount()
{
    return static_cast<std::int16_t>(randomCount(random_.next()));
}

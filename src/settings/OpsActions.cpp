#include "settings/OpsActions.h"

#include "core/Tolvars.h"
#include "settings/CRegSettings.h"
#include "speech/SpeechEngine.h"

#include <cmath>
#include <limits>
#include <stdexcept>

const QString OpsActions::kTestSentence =
    QStringLiteral("This is a test ... testing, testing, ... how do I sound now?");

namespace {

QString boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString trimSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' ')) {
        ++first;
    }
    while (last > first && text.at(last - 1) == QLatin1Char(' ')) {
        --last;
    }
    return text.mid(first, last - first);
}

std::int16_t toInteger(const QString& text)
{
    bool ok = false;
    const int value = trimSpaces(text).toInt(&ok, 10);
    if (!ok || value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        throw std::invalid_argument("not a whole number: " + text.toStdString());
    }
    return static_cast<std::int16_t>(value);
}

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

OpsActions::OpsActions(Tolvars& vars, SpeechEngine& talk) : vars_(vars), talk_(talk) {}

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
    talk_.selectEngine(choices.engineNumber);
    talk_.setSpeed(choices.speed);

    vars_.EngineNum = choices.engineNumber;
    write(QStringLiteral("EngineNum"), QString::number(vars_.EngineNum));
    vars_.EngineSpeed = choices.speed;
    write(QStringLiteral("EngineSpeed"), QString::number(vars_.EngineSpeed));

    saveFlag(vars_.Progressbar, QStringLiteral("Progressbar"), choices.progressbar);
    saveFlag(vars_.Release, QStringLiteral("Release"), choices.release);
    saveFlag(vars_.Slow, QStringLiteral("Slow"), choices.slow);
    saveFlag(vars_.Rands, QStringLiteral("Rands"), choices.rands);
    saveFlag(vars_.Loops, QStringLiteral("Loops"), choices.loops);
    saveFlag(vars_.MakeItTop, QStringLiteral("MakeItTop"), choices.makeItTop);
    saveFlag(vars_.FlushBack, QStringLiteral("FlushBack"), choices.flushBack);

    vars_.FlushCount = toInteger(choices.flushCountText);
    write(QStringLiteral("FlushCount"), QString::number(vars_.FlushCount));

    write(QStringLiteral("ManyTime"), QString::number(choices.manyTime));
    vars_.ManyTime = choices.manyTime;
    write(QStringLiteral("ManyNews"), QString::number(choices.manyNews));
    vars_.ManyNews = choices.manyNews;

    // The store keeps the bar values; only the counts in use are random.
    if (choices.randoms) {
        vars_.Random.seedFromClock();
        vars_.Randoms = true;
        vars_.ManyTime = randomCount();
        vars_.ManyNews = randomCount();
    } else {
        vars_.Randoms = false;
    }
    write(QStringLiteral("Randoms"), boolText(vars_.Randoms));
}

void OpsActions::write(const QString& key, const QString& text)
{
    if (!vars_.Settings) {
        throw std::logic_error("the settings store is not set up");
    }
    // A failed write is not reported: the variable in use already holds the value.
    vars_.Settings->SaveSetting(vars_.SettingsSection, key, text);
    if (afterWrite_) {
        afterWrite_(key);
    }
}

void OpsActions::setAfterWrite(std::function<void(const QString& key)> observer)
{
    afterWrite_ = std::move(observer);
}

void OpsActions::saveFlag(bool& variable, const QString& key, bool checked)
{
    variable = checked;
    write(key, boolText(variable));
}

std::int16_t OpsActions::randomCount()
{
    // 1 to 51, rounding half to even.
    return static_cast<std::int16_t>(std::nearbyint(vars_.Random.next() * 50.0 + 1.0));
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/VoiceSettingsStore.h"

#include "base/ProgramNames.h"
#include "files/SettingsFile.h"

#include <QSettings>
#include <utility>

const QString VoiceSettingsStore::kSection = QStringLiteral("Voice");

namespace {
const QString kCompany = QString(ProgramNames::kCompany);
const QString kApplication = QString(ProgramNames::kSettingsApplication);

// Stored symbol readings are keyed by a name, not the symbol, so the keys stay
// plain words in every settings format.
QString symbolKey(const QString& symbol)
{
    static const QList<std::pair<QString, QString>> names = {
        {QStringLiteral("%"), QStringLiteral("Percent")},
        {QStringLiteral("&"), QStringLiteral("Ampersand")},
        {QStringLiteral("$"), QStringLiteral("Dollar")},
        {QStringLiteral("@"), QStringLiteral("At")},
        {QStringLiteral("#"), QStringLiteral("Hash")},
        {QStringLiteral("+"), QStringLiteral("Plus")},
        {QStringLiteral("e.g."), QStringLiteral("ForExample")},
        {QStringLiteral("i.e."), QStringLiteral("ThatIs")},
        {QStringLiteral("etc."), QStringLiteral("EtCetera")},
        {QStringLiteral("vs."), QStringLiteral("Versus")},
    };
    for (const auto& [sym, name] : names) {
        if (sym == symbol) {
            return QStringLiteral("Say") + name;
        }
    }
    return {};
}

template <typename Enum>
Enum enumFrom(int value, Enum last)
{
    return value >= 0 && value <= static_cast<int>(last) ? static_cast<Enum>(value) : Enum{};
}

int readInt(const QSettings& store, const QString& key, int fallback)
{
    bool ok = false;
    const int value = store.value(key).toString().trimmed().toInt(&ok);
    return ok ? value : fallback;
}

QString readText(const QSettings& store, const QString& key, const QString& fallback)
{
    const QVariant value = store.value(key);
    return value.isValid() ? value.toString() : fallback;
}
}  // namespace

std::unique_ptr<QSettings> VoiceSettingsStore::open() const
{
    const SettingsFile file(kCompany, kApplication);
    file.tell(told_);
    return file.open();
}

VoiceSettings VoiceSettingsStore::load() const
{
    const std::unique_ptr<QSettings> opened = open();
    if (!opened) {
        return VoiceSettings().normalized();
    }
    QSettings& store = *opened;
    store.beginGroup(kSection);
    const VoiceSettings defaults;
    VoiceSettings s;
    s.pitch = readInt(store, QStringLiteral("Pitch"), defaults.pitch);
    s.pitchRange = readInt(store, QStringLiteral("PitchRange"), defaults.pitchRange);
    s.volume = readInt(store, QStringLiteral("Volume"), defaults.volume);
    s.wordGapMs = readInt(store, QStringLiteral("WordGap"), defaults.wordGapMs);
    s.punctuation =
        enumFrom(readInt(store, QStringLiteral("Punctuation"), 0), PunctuationMode::All);
    s.punctuationList =
        readText(store, QStringLiteral("PunctuationList"), defaults.punctuationList);
    s.capitals = enumFrom(readInt(store, QStringLiteral("Capitals"), 0), CapitalsMode::RaisePitch);
    s.numbers = enumFrom(readInt(store, QStringLiteral("Numbers"), 0), NumbersMode::Digits);
    for (SymbolReading& symbol : s.symbols) {
        symbol.sayAs = readText(store, symbolKey(symbol.symbol), symbol.sayAs);
    }
    const int count = readInt(store, QStringLiteral("LexiconCount"), 0);
    for (int i = 1; i <= count; ++i) {
        const QString n = QString::number(i);
        s.lexicon.append(
            {readText(store, QStringLiteral("Word") + n, QString()),
             readText(store, QStringLiteral("Say") + n, QString()),
             readText(store, QStringLiteral("Phonemes") + n, QString()) == QLatin1String("True")});
    }
    return s.normalized();
}

bool VoiceSettingsStore::save(const VoiceSettings& settings)
{
    const VoiceSettings s = settings.normalized();
    const std::unique_ptr<QSettings> opened = open();
    if (!opened || !opened->isWritable()) {
        return false;
    }
    QSettings& store = *opened;
    // A shorter lexicon leaves no entries of the longer one behind.
    store.remove(kSection);
    store.beginGroup(kSection);
    store.setValue(QStringLiteral("Pitch"), QString::number(s.pitch));
    store.setValue(QStringLiteral("PitchRange"), QString::number(s.pitchRange));
    store.setValue(QStringLiteral("Volume"), QString::number(s.volume));
    store.setValue(QStringLiteral("WordGap"), QString::number(s.wordGapMs));
    store.setValue(QStringLiteral("Punctuation"), QString::number(static_cast<int>(s.punctuation)));
    store.setValue(QStringLiteral("PunctuationList"), s.punctuationList);
    store.setValue(QStringLiteral("Capitals"), QString::number(static_cast<int>(s.capitals)));
    store.setValue(QStringLiteral("Numbers"), QString::number(static_cast<int>(s.numbers)));
    for (const SymbolReading& symbol : s.symbols) {
        store.setValue(symbolKey(symbol.symbol), symbol.sayAs);
    }
    store.setValue(QStringLiteral("LexiconCount"), QString::number(s.lexicon.size()));
    for (int i = 0; i < s.lexicon.size(); ++i) {
        const QString n = QString::number(i + 1);
        const LexiconEntry& entry = s.lexicon.at(i);
        store.setValue(QStringLiteral("Word") + n, entry.word);
        store.setValue(QStringLiteral("Say") + n, entry.sayAs);
        store.setValue(QStringLiteral("Phonemes") + n,
                       entry.phonemes ? QStringLiteral("True") : QStringLiteral("False"));
    }
    store.endGroup();
    store.sync();
    return store.status() == QSettings::NoError;
}

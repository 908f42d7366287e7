#include "speech/VoiceSettingsStore.h"

#include "settings/CRegSettings.h"

const QString VoiceSettingsStore::kSection = QStringLiteral("Voice");

namespace {
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
}  // namespace

VoiceSettingsStore::VoiceSettingsStore()
    : owned_(std::make_unique<CRegSettings>()), settings_(owned_.get())
{
    owned_->setCompany(QStringLiteral("Quintaviel Software"));
    owned_->setAppName(QStringLiteral("Tolvar MP3 v1.0"));
}

VoiceSettingsStore::VoiceSettingsStore(CRegSettings& settings) : settings_(&settings) {}

VoiceSettingsStore::~VoiceSettingsStore() = default;

QString VoiceSettingsStore::read(const QString& key, const QString& fallback) const
{
    return settings_->GetSetting(kSection, key, fallback);
}

int VoiceSettingsStore::readInt(const QString& key, int fallback) const
{
    bool ok = false;
    const int value = read(key, QString()).trimmed().toInt(&ok);
    return ok ? value : fallback;
}

bool VoiceSettingsStore::write(const QString& key, const QString& value)
{
    return settings_->SaveSetting(kSection, key, value);
}

VoiceSettings VoiceSettingsStore::load() const
{
    const VoiceSettings defaults;
    VoiceSettings s;
    s.pitch = readInt(QStringLiteral("Pitch"), defaults.pitch);
    s.pitchRange = readInt(QStringLiteral("PitchRange"), defaults.pitchRange);
    s.volume = readInt(QStringLiteral("Volume"), defaults.volume);
    s.wordGapMs = readInt(QStringLiteral("WordGap"), defaults.wordGapMs);
    s.punctuation = enumFrom(readInt(QStringLiteral("Punctuation"), 0), PunctuationMode::All);
    s.punctuationList = read(QStringLiteral("PunctuationList"), defaults.punctuationList);
    s.capitals = enumFrom(readInt(QStringLiteral("Capitals"), 0), CapitalsMode::RaisePitch);
    s.numbers = enumFrom(readInt(QStringLiteral("Numbers"), 0), NumbersMode::Digits);
    for (SymbolReading& symbol : s.symbols) {
        symbol.sayAs = read(symbolKey(symbol.symbol), symbol.sayAs);
    }
    const int count = readInt(QStringLiteral("LexiconCount"), 0);
    for (int i = 1; i <= count; ++i) {
        const QString n = QString::number(i);
        s.lexicon.append(
            {read(QStringLiteral("Word") + n, QString()),
             read(QStringLiteral("Say") + n, QString()),
             read(QStringLiteral("Phonemes") + n, QString()) == QLatin1String("True")});
    }
    return s.normalized();
}

bool VoiceSettingsStore::save(const VoiceSettings& settings)
{
    const VoiceSettings s = settings.normalized();
    bool ok = write(QStringLiteral("Pitch"), QString::number(s.pitch));
    ok &= write(QStringLiteral("PitchRange"), QString::number(s.pitchRange));
    ok &= write(QStringLiteral("Volume"), QString::number(s.volume));
    ok &= write(QStringLiteral("WordGap"), QString::number(s.wordGapMs));
    ok &= write(QStringLiteral("Punctuation"), QString::number(static_cast<int>(s.punctuation)));
    ok &= write(QStringLiteral("PunctuationList"), s.punctuationList);
    ok &= write(QStringLiteral("Capitals"), QString::number(static_cast<int>(s.capitals)));
    ok &= write(QStringLiteral("Numbers"), QString::number(static_cast<int>(s.numbers)));
    for (const SymbolReading& symbol : s.symbols) {
        ok &= write(symbolKey(symbol.symbol), symbol.sayAs);
    }
    // Entries past the count are left behind by a shorter list and never read.
    ok &= write(QStringLiteral("LexiconCount"), QString::number(s.lexicon.size()));
    for (int i = 0; i < s.lexicon.size(); ++i) {
        const QString n = QString::number(i + 1);
        const LexiconEntry& entry = s.lexicon.at(i);
        ok &= write(QStringLiteral("Word") + n, entry.word);
        ok &= write(QStringLiteral("Say") + n, entry.sayAs);
        ok &= write(QStringLiteral("Phonemes") + n,
                    entry.phonemes ? QStringLiteral("True") : QStringLiteral("False"));
    }
    return ok;
}

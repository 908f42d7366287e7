// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/CRegSettings.h"

#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSettings>

namespace {
const QString kOptions = QStringLiteral("Options");

CRegSettings programStore()
{
    CRegSettings store;
    store.setCompany(QStringLiteral("Quintaviel Software"));
    store.setAppName(QStringLiteral("Tolvar MP3 v1.0"));
    return store;
}

QStringList filesUnder(const QString& path)
{
    QStringList found;
    QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        found << it.next();
    }
    return found;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
}  // namespace

TEST(CRegSettings, WordsStartAsTheProgramDefaultsAndTrimOnlySpaces)
{
    CRegSettings store;
    EXPECT_EQ(store.Company(), QStringLiteral("VB and VBA Program Settings"));
    EXPECT_EQ(store.AppName(), QStringLiteral("Tolvar MP3 Radio"));

    store.setCompany(QStringLiteral("  Acme  "));
    store.setAppName(QStringLiteral(" Radio\t"));
    EXPECT_EQ(store.Company(), QStringLiteral("Acme"));
    EXPECT_EQ(store.AppName(), QStringLiteral("Radio\t"));

    // Only the empty text restores a default; spaces alone leave the word empty.
    store.setCompany(QStringLiteral("   "));
    store.setAppName(QStringLiteral(" "));
    EXPECT_EQ(store.Company(), QString());
    EXPECT_EQ(store.AppName(), QString());
    store.setCompany(QString());
    store.setAppName(QString());
    EXPECT_EQ(store.Company(), QStringLiteral("VB and VBA Program Settings"));
    EXPECT_EQ(store.AppName(), QStringLiteral("Tolvar MP3 Radio"));
}

TEST(CRegSettings, FreshProfileGivesDefaultsAndCreatesNothing)
{
    testing_support::SettingsSandbox sandbox;
    const CRegSettings store = programStore();
    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("NowTime"), QStringLiteral("True")),
              QStringLiteral("True"));
    EXPECT_EQ(store.GetSetting(QString(), QStringLiteral("*"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_TRUE(filesUnder(sandbox.path()).isEmpty())
        << filesUnder(sandbox.path()).join(", ").toStdString();
}

TEST(CRegSettings, TextsComeBackExactly)
{
    testing_support::SettingsSandbox sandbox;
    CRegSettings store = programStore();
    const QStringList texts = {
        QStringLiteral(""),
        QStringLiteral("  leading and trailing  "),
        QStringLiteral("a, b, c"),
        QStringLiteral("key=value"),
        QStringLiteral("; not a comment"),
        QStringLiteral("# nor this"),
        QStringLiteral("\"quoted\""),
        QStringLiteral("@Variant(looks like one)"),
        QStringLiteral("@"),
        QStringLiteral("back\\slash"),
        QStringLiteral("[Section]"),
        QStringLiteral("tab\tand\nnew line"),
        QStringLiteral("Grüße ☃"),
        QStringLiteral("True"),
    };
    for (int i = 0; i < texts.size(); ++i) {
        const QString key = QStringLiteral("Value%1").arg(i);
        ASSERT_TRUE(store.SaveSetting(kOptions, key, texts.at(i))) << texts.at(i).toStdString();
    }
    // A second store object reads what the first one wrote.
    const CRegSettings reader = programStore();
    for (int i = 0; i < texts.size(); ++i) {
        const QString key = QStringLiteral("Value%1").arg(i);
        EXPECT_EQ(reader.GetSetting(kOptions, key, QStringLiteral("<default>")), texts.at(i))
            << texts.at(i).toStdString();
    }
}

TEST(CRegSettings, ValuesLiveInTheProgramsFileUnderTheirSection)
{
    testing_support::SettingsSandbox sandbox;
    CRegSettings store = programStore();
    ASSERT_TRUE(store.SaveSetting(kOptions, QStringLiteral("ManyTime"), QStringLiteral("7")));
    ASSERT_TRUE(store.SaveSetting(QString(), QStringLiteral("ManyTime"), QStringLiteral("top")));

    ASSERT_TRUE(QFile::exists(sandbox.settingsFile()));
    QSettings file(sandbox.settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(file.value(QStringLiteral("Options/ManyTime")).toString(), QStringLiteral("7"));
    // The empty section is the application level itself.
    EXPECT_EQ(file.value(QStringLiteral("ManyTime")).toString(), QStringLiteral("top"));

    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("ManyTime"), {}), QStringLiteral("7"));
    EXPECT_EQ(store.GetSetting(QString(), QStringLiteral("ManyTime"), {}), QStringLiteral("top"));
    EXPECT_EQ(store.GetSetting(QStringLiteral("Other"), QStringLiteral("ManyTime"),
                               QStringLiteral("none")),
              QStringLiteral("none"));
}

TEST(CRegSettings, StarNamesTheSectionsUnnamedValue)
{
    testing_support::SettingsSandbox sandbox;
    CRegSettings store = programStore();
    ASSERT_TRUE(store.SaveSetting(kOptions, QStringLiteral("*"), QStringLiteral("unnamed")));
    ASSERT_TRUE(store.SaveSetting(kOptions, QStringLiteral("Star"), QStringLiteral("named")));

    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("*"), {}), QStringLiteral("unnamed"));
    // The empty name is the same value, as in the registry.
    EXPECT_EQ(store.GetSetting(kOptions, QString(), {}), QStringLiteral("unnamed"));
    EXPECT_EQ(store.GetSetting(QString(), QStringLiteral("*"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("Star"), {}), QStringLiteral("named"));
}

TEST(CRegSettings, SectionsNestWithBackslashes)
{
    testing_support::SettingsSandbox sandbox;
    CRegSettings store = programStore();
    ASSERT_TRUE(store.SaveSetting(QStringLiteral("Options\\Inner"), QStringLiteral("K"),
                                  QStringLiteral("deep")));
    EXPECT_EQ(store.GetSetting(QStringLiteral("Options\\Inner"), QStringLiteral("K"), {}),
              QStringLiteral("deep"));
    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("K"), QStringLiteral("none")),
              QStringLiteral("none"));
}

TEST(CRegSettings, NamesThatCannotNameAValueReadDefaultsAndWriteNothing)
{
    testing_support::SettingsSandbox sandbox;
    CRegSettings store = programStore();
    // A separator inside a value name would reach into another section.
    EXPECT_FALSE(store.SaveSetting(kOptions, QStringLiteral("Inner/K"), QStringLiteral("x")));
    EXPECT_FALSE(store.SaveSetting(kOptions, QStringLiteral("Inner\\K"), QStringLiteral("x")));
    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("Inner/K"), QStringLiteral("d")),
              QStringLiteral("d"));

    store.setCompany(QStringLiteral(" "));
    EXPECT_FALSE(store.SaveSetting(kOptions, QStringLiteral("K"), QStringLiteral("x")));
    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("K"), QStringLiteral("d")),
              QStringLiteral("d"));
    store.setCompany(QStringLiteral("Quintaviel Software"));
    store.setAppName(QStringLiteral(" "));
    EXPECT_FALSE(store.SaveSetting(kOptions, QStringLiteral("K"), QStringLiteral("x")));
    EXPECT_TRUE(filesUnder(sandbox.path()).isEmpty())
        << filesUnder(sandbox.path()).join(", ").toStdString();
}

TEST(CRegSettings, AFileThatCannotBeWrittenReportsFalse)
{
    testing_support::SettingsSandbox sandbox;
    // A folder where the settings file belongs cannot be written, even by root.
    ASSERT_TRUE(QDir().mkpath(sandbox.settingsFile()));
    CRegSettings store = programStore();
    EXPECT_FALSE(store.SaveSetting(kOptions, QStringLiteral("NowTime"), QStringLiteral("False")));
    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("NowTime"), QStringLiteral("True")),
              QStringLiteral("True"));
}

TEST(CRegSettings, ADamagedFileKeepsWhatCanBeReadAndStaysWritable)
{
    testing_support::SettingsSandbox sandbox;
    writeFile(sandbox.settingsFile(), QByteArray("[Options]\n"
                                                 "NowTime=False\n"
                                                 "\x01\x02 garbage without equals\n"
                                                 "ManyTime=9\n"
                                                 "ManyNews=@Variant(\\0\\0\\0\\x7f\\0\\0\\0)\n"
                                                 "List=1, 2\n"
                                                 "[unterminated\n"));
    CRegSettings store = programStore();
    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("NowTime"), {}), QStringLiteral("False"));
    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("ManyTime"), {}), QStringLiteral("9"));
    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("ManyNews"), QStringLiteral("15")),
              QStringLiteral("15"));
    // A hand-written list is still the text that was written.
    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("List"), {}), QStringLiteral("1, 2"));

    EXPECT_TRUE(store.SaveSetting(kOptions, QStringLiteral("NowNews"), QStringLiteral("True")));
    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("NowNews"), {}), QStringLiteral("True"));
    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("NowTime"), {}), QStringLiteral("False"));
    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("ManyTime"), {}), QStringLiteral("9"));
}

TEST(CRegSettings, BinaryJunkReadsAsDefaults)
{
    testing_support::SettingsSandbox sandbox;
    QByteArray junk;
    for (int i = 0; i < 4096; ++i) {
        junk.append(static_cast<char>((i * 7919) % 256));
    }
    writeFile(sandbox.settingsFile(), junk);
    CRegSettings store = programStore();
    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("NowTime"), QStringLiteral("True")),
              QStringLiteral("True"));
    EXPECT_TRUE(store.SaveSetting(kOptions, QStringLiteral("NowTime"), QStringLiteral("False")));
    EXPECT_EQ(store.GetSetting(kOptions, QStringLiteral("NowTime"), QStringLiteral("True")),
              QStringLiteral("False"));
}

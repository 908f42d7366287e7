// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/VoiceCatalog.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

TEST(VoiceCatalogTest, EnglishFirstThenVariantsThenOtherLanguages)
{
    const std::vector<SynthVoice> voices = {
        {"German", "de", "gmw/de", 1, 0},
        {"English (Great Britain)", "en-gb", "gmw/en", 1, 0},
        {"Afrikaans", "af", "gmw/af", 1, 0},
        {"English (America)", "en-us", "gmw/en-US", 1, 0},
    };
    const std::vector<SynthVoice> variants = {
        {"female2", "variant", "!v/f2", 2, 0},
        {"Mr_Serious", "variant", "!v/Mr serious", 1, 70},
    };
    const VoiceCatalog catalog(voices, variants);
    ASSERT_EQ(catalog.count(), 6);
    QStringList order;
    for (int n = 1; n <= catalog.count(); ++n) {
        order << catalog.engine(n)->listEntry;
    }
    EXPECT_EQ(order, QStringList({"English (America) (en-us)", "English (Great Britain) (en-gb)",
                                  "female2 (en-us)", "Mr_Serious (en-us)", "Afrikaans (af)",
                                  "German (de)"}));
    EXPECT_EQ(catalog.engine(1)->synthName, "gmw/en-US");
    EXPECT_EQ(catalog.engine(4)->synthName, "gmw/en-US+Mr serious");
    EXPECT_EQ(catalog.engine(4)->age, 70);
    EXPECT_EQ(catalog.engine(4)->dialect, "en-us");
}

TEST(VoiceCatalogTest, GenderFollowsTheProgramsNumbering)
{
    const VoiceCatalog catalog(
        {{"English (America)", "en-us", "gmw/en-US", 0, 0}},
        {{"female2", "variant", "!v/f2", 2, 0}, {"male2", "variant", "!v/m2", 1, 0}});
    EXPECT_EQ(catalog.engine(1)->gender, 0);
    EXPECT_EQ(catalog.engine(2)->gender, 1);  // female
    EXPECT_EQ(catalog.engine(3)->gender, 2);  // male
}

TEST(VoiceCatalogTest, NumbersOutsideTheListHaveNoEngine)
{
    const VoiceCatalog catalog({{"Afrikaans", "af", "gmw/af", 1, 0}}, {});
    EXPECT_EQ(catalog.count(), 1);
    EXPECT_EQ(catalog.engine(0), nullptr);
    EXPECT_EQ(catalog.engine(2), nullptr);
    EXPECT_EQ(VoiceCatalog().count(), 0);
}

const std::vector<SynthVoice> kEspeakVoices = {
    {"German", "de", "gmw/de", 1, 0},
    {"English (America)", "en-us", "gmw/en-US", 1, 0},
    {"Chinese (Cantonese)", "yue", "sit/yue", 1, 0},
    {"Chinese (Cantonese, Jyutping)", "yue", "sit/yue-Latn-jyutping", 1, 0},
};
const std::vector<SynthVoice> kEspeakVariants = {{"female2", "variant", "!v/f2", 2, 0}};
const std::vector<FliteVoice> kFliteVoices = {
    {"cmu_us_slt", "slt", "en-us", "Statistical", 1, 30, 16000, 175.0},
    {"cmu_us_kal", "kal", "en-us", "Diphone", 2, 30, 8000, 162.0},
};

TEST(VoiceCatalogTest, FliteVoicesComeFirstThenEspeakAsBefore)
{
    const VoiceCatalog catalog(kEspeakVoices, kEspeakVariants, kFliteVoices);
    QStringList identities;
    for (int n = 1; n <= catalog.count(); ++n) {
        identities << catalog.engine(n)->identity;
        EXPECT_EQ(catalog.engineForIdentity(identities.last()), n);
    }
    EXPECT_EQ(identities, QStringList({"flite:cmu_us_slt", "flite:cmu_us_kal", "espeak-ng:en-us",
                                       "espeak-ng:en-us+f2", "espeak-ng:sit/yue",
                                       "espeak-ng:sit/yue-Latn-jyutping", "espeak-ng:de"}));
    const VoiceEngineInfo& slt = *catalog.engine(1);
    EXPECT_EQ(slt.family, VoiceFamily::Flite);
    EXPECT_EQ(slt.manufacturer, "CMU Flite");
    EXPECT_EQ(slt.name, "cmu_us_slt");
    EXPECT_EQ(slt.speaker, "slt");
    EXPECT_EQ(slt.dialect, "en-us");
    EXPECT_EQ(slt.gender, 1);
    EXPECT_EQ(slt.age, 30);
    EXPECT_EQ(slt.listEntry, "cmu_us_slt (en-us)");
    EXPECT_EQ(catalog.engine(3)->manufacturer, "eSpeak NG");
    EXPECT_EQ(catalog.engineForIdentity(""), 0);
    EXPECT_EQ(catalog.engineForIdentity("flite:cmu_us_awb"), 0);
}

TEST(VoiceCatalogTest, NumbersSavedBeforeFliteKeepTheirEspeakVoice)
{
    const VoiceCatalog before(kEspeakVoices, kEspeakVariants);
    const VoiceCatalog now(kEspeakVoices, kEspeakVariants, kFliteVoices);
    for (int old = 1; old <= before.count(); ++old) {
        const QString identity = now.espeakOnlyIdentity(old);
        EXPECT_EQ(identity, before.engine(old)->identity) << old;
        const int migrated = now.engineFromEspeakOnlyNumber(old);
        ASSERT_NE(now.engine(migrated), nullptr) << old;
        EXPECT_EQ(now.engine(migrated)->identity, identity) << old;
    }
    // A number that named no voice names none after the move either.
    const struct {
        int old;
        int now;
    } outside[] = {{0, 0}, {-2, -2}, {6, 8}, {40, 40}};
    for (const auto& c : outside) {
        EXPECT_TRUE(now.espeakOnlyIdentity(c.old).isEmpty()) << c.old;
        EXPECT_EQ(now.engineFromEspeakOnlyNumber(c.old), c.now) << c.old;
        EXPECT_EQ(now.engine(c.now), nullptr) << c.old;
    }
    // Without flite's voices nothing moves.
    EXPECT_EQ(before.engineFromEspeakOnlyNumber(2), 2);
}

}  // namespace

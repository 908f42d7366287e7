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

}  // namespace

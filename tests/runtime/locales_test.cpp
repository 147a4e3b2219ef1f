// The locale tables behind the "LOCALE" answer.
#include "runtime/locales.h"

#include <gtest/gtest.h>

namespace kvn {
namespace {

TEST(Locales, LanguageIdFromLocaleName) {
    EXPECT_EQ(language_id_from_locale("de_DE.UTF-8"), 0x0407);
    EXPECT_EQ(language_id_from_locale("de_CH"), 0x0807);
    EXPECT_EQ(language_id_from_locale("de_AT.ISO-8859-1@euro"), 0x0C07);
    EXPECT_EQ(language_id_from_locale("en_GB"), 0x0809);
    EXPECT_EQ(language_id_from_locale("en_US"), 0x0409);
    EXPECT_EQ(language_id_from_locale("en_US.UTF-8"), 0x0409);
    EXPECT_EQ(language_id_from_locale("fr_CA"), 0x0C0C);
    EXPECT_EQ(language_id_from_locale("zh_TW.Big5"), 0x0404);
    EXPECT_EQ(language_id_from_locale("zh_HK"), 0x0C04);
    EXPECT_EQ(language_id_from_locale("uk_UA.UTF-8"), 0x0422);
    EXPECT_EQ(language_id_from_locale("pt_PT"), 0x0816);
    EXPECT_EQ(language_id_from_locale("sr_RS"), 0x0C1A);
    EXPECT_EQ(language_id_from_locale("sr_RS.UTF-8@latin"), 0x081A);
    EXPECT_EQ(language_id_from_locale("ja_JP.eucJP"), 0x0411);
    // A language alone, or with an unlisted territory, is its primary territory.
    EXPECT_EQ(language_id_from_locale("de"), 0x0407);
    EXPECT_EQ(language_id_from_locale("pt"), 0x0416);
    EXPECT_EQ(language_id_from_locale("de_BE.UTF-8"), 0x0407);
    // Case and the dash form are tolerated.
    EXPECT_EQ(language_id_from_locale("EN-gb"), 0x0809);
    EXPECT_EQ(language_id_from_locale("C"), 0);
    EXPECT_EQ(language_id_from_locale("C.UTF-8"), 0);
    EXPECT_EQ(language_id_from_locale("POSIX"), 0);
    EXPECT_EQ(language_id_from_locale(""), 0);
    EXPECT_EQ(language_id_from_locale(nullptr), 0);
    EXPECT_EQ(language_id_from_locale("xx_YY"), 0);
}

TEST(Locales, CodesOfLanguageIds) {
    EXPECT_STREQ(locale_code_for_language_id(0x0407), "de");
    EXPECT_STREQ(locale_code_for_language_id(0x1407), "de");
    EXPECT_STREQ(locale_code_for_language_id(0x0809), "us");
    EXPECT_STREQ(locale_code_for_language_id(0x0409), "uk");
    EXPECT_STREQ(locale_code_for_language_id(0x0422), "uk");
    EXPECT_STREQ(locale_code_for_language_id(0x0408), "gr");
    EXPECT_STREQ(locale_code_for_language_id(0x0411), "jp");
    EXPECT_STREQ(locale_code_for_language_id(0x0404), "ch");
    EXPECT_STREQ(locale_code_for_language_id(0x0C04), "zh");
    EXPECT_STREQ(locale_code_for_language_id(0x081A), "sr");
    EXPECT_STREQ(locale_code_for_language_id(0x041A), "hr");
    EXPECT_STREQ(locale_code_for_language_id(0x500A), "es");
    EXPECT_STREQ(locale_code_for_language_id(0x0465), "di");
    EXPECT_STREQ(locale_code_for_language_id(0x9999), "us");
    EXPECT_STREQ(locale_code_for_language_id(0), "us");
}

}  // namespace
}  // namespace kvn

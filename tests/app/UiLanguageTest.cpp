#include "app/UiLanguage.h"

#include <QString>

#include <gtest/gtest.h>

namespace {

struct LanguageIdRow {
    int languageId;
    int uiLanguage;
};

class UiLanguageFromId : public testing::TestWithParam<LanguageIdRow> {};

TEST_P(UiLanguageFromId, OnlyTaiwanAndPrcChineseAreChinese)
{
    EXPECT_EQ(uiLanguageFromLanguageId(GetParam().languageId), GetParam().uiLanguage);
}

INSTANTIATE_TEST_SUITE_P(Rows, UiLanguageFromId, testing::Values(
    LanguageIdRow{2052, chineseUi}, LanguageIdRow{1028, chineseUi},
    LanguageIdRow{3076, englishUi}, LanguageIdRow{4100, englishUi}, LanguageIdRow{5124, englishUi},
    LanguageIdRow{4, englishUi}, LanguageIdRow{31748, englishUi},
    LanguageIdRow{1033, englishUi}, LanguageIdRow{1041, englishUi}, LanguageIdRow{1031, englishUi},
    LanguageIdRow{0, englishUi}, LanguageIdRow{-1, englishUi}));

struct LocaleRow {
    const char* name;
    int languageId;
    int uiLanguage;
};

class LanguageIdFromLocale : public testing::TestWithParam<LocaleRow> {};

TEST_P(LanguageIdFromLocale, MapsName)
{
    const QString name = QString::fromLatin1(GetParam().name);
    EXPECT_EQ(languageIdFromLocaleName(name), GetParam().languageId) << GetParam().name;
    EXPECT_EQ(uiLanguageFromLocaleName(name), GetParam().uiLanguage) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Rows, LanguageIdFromLocale, testing::Values(
    LocaleRow{"zh_CN", 2052, chineseUi},
    LocaleRow{"zh_TW", 1028, chineseUi},
    LocaleRow{"zh_HK", 3076, englishUi},
    LocaleRow{"zh_SG", 4100, englishUi},
    LocaleRow{"zh_MO", 5124, englishUi},
    LocaleRow{"en_US", 1033, englishUi},
    LocaleRow{"en_GB", 2057, englishUi},
    LocaleRow{"de_DE", 1031, englishUi},
    LocaleRow{"de_AT", 3079, englishUi},
    LocaleRow{"fr_CA", 3084, englishUi},
    LocaleRow{"ja_JP", 1041, englishUi},
    LocaleRow{"ko_KR", 1042, englishUi},
    LocaleRow{"pt_BR", 1046, englishUi},
    LocaleRow{"es_ES", 3082, englishUi},
    // POSIX and BCP 47 spellings
    LocaleRow{"zh_CN.UTF-8", 2052, chineseUi},
    LocaleRow{"zh_TW.Big5", 1028, chineseUi},
    LocaleRow{"de_DE@euro", 1031, englishUi},
    LocaleRow{"de_DE.UTF-8@euro", 1031, englishUi},
    LocaleRow{"zh-CN", 2052, chineseUi},
    LocaleRow{"zh-Hans-CN", 2052, chineseUi},
    LocaleRow{"zh-Hant-TW", 1028, chineseUi},
    LocaleRow{"zh_Hant_HK", 3076, englishUi},
    LocaleRow{"zh-cn", 2052, chineseUi},
    // language alone, or a territory the table lacks: the language's default
    LocaleRow{"zh", 2052, chineseUi},
    LocaleRow{"zh-Hans", 2052, chineseUi},
    LocaleRow{"zh-Hant", 1028, chineseUi},
    LocaleRow{"ja", 1041, englishUi},
    LocaleRow{"de_BE", 1031, englishUi},
    LocaleRow{"en_001", 1033, englishUi},
    // nothing known
    LocaleRow{"C", 1033, englishUi},
    LocaleRow{"POSIX", 1033, englishUi},
    LocaleRow{"", 1033, englishUi},
    LocaleRow{"xx_YY", 1033, englishUi},
    LocaleRow{"_-.@", 1033, englishUi}));

TEST(UiLanguage, SetKeepsOnlyTheTwoLanguages)
{
    for (const auto& [given, kept] : {std::pair{0, chineseUi}, {1, englishUi}, {2, englishUi}, {-1, englishUi}}) {
        setUiLanguage(given);
        EXPECT_EQ(uiLanguage(), kept) << given;
    }
}

} // namespace

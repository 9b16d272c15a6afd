#pragma once

#include <QStringView>

// The language of the whole user interface, chosen once at start-up from the
// user's interface language: 0 = Chinese texts, 1 = English texts.
inline constexpr int chineseUi = 0;
inline constexpr int englishUi = 1;

int uiLanguage();
// Any value but 0 selects English, so texts chosen by testing against 0 and 1
// always find one of the two.
void setUiLanguage(int language);

// Chinese for the Traditional (1028) and Simplified (2052, PRC) identifiers
// only; every other language identifier, Hong Kong and Singapore Chinese
// included, gives English.
int uiLanguageFromLanguageId(int windowsLanguageId);

// The Windows language identifier of a locale name such as QLocale::name()
// gives it ("zh_CN"), also in the forms "zh_CN.UTF-8", "de_DE@euro",
// "zh-Hans-CN", "zh-Hant" or a bare language ("ja"). Unknown names, "C" and
// "POSIX" give 1033 (English, United States).
int languageIdFromLocaleName(QStringView localeName);

// uiLanguageFromLanguageId(languageIdFromLocaleName(localeName)).
int uiLanguageFromLocaleName(QStringView localeName);

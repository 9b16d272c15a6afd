#include "app/UiLanguage.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <array>

namespace {

int currentUiLanguage = englishUi;

// Windows language identifiers (LANGID) of the locales a user is likely to
// run; the first row of each language is its default when no territory is
// given.
struct LocaleLanguageId {
    const char* language;
    const char* territory;
    int id;
};

constexpr std::array<LocaleLanguageId, 76> localeTable{{
    {"en", "US", 1033}, {"en", "GB", 2057}, {"en", "AU", 3081}, {"en", "CA", 4105},
    {"en", "NZ", 5129}, {"en", "IE", 6153}, {"en", "ZA", 7177}, {"en", "PH", 13321},
    {"en", "IN", 16393}, {"en", "SG", 18441},
    {"zh", "CN", 2052}, {"zh", "TW", 1028}, {"zh", "HK", 3076}, {"zh", "SG", 4100},
    {"zh", "MO", 5124},
    {"de", "DE", 1031}, {"de", "CH", 2055}, {"de", "AT", 3079}, {"de", "LU", 4103},
    {"de", "LI", 5127},
    {"fr", "FR", 1036}, {"fr", "BE", 2060}, {"fr", "CA", 3084}, {"fr", "CH", 4108},
    {"fr", "LU", 5132},
    {"es", "ES", 3082}, {"es", "MX", 2058}, {"es", "AR", 11274}, {"es", "CO", 9226},
    {"es", "CL", 13322}, {"es", "US", 21514},
    {"it", "IT", 1040}, {"it", "CH", 2064},
    {"nl", "NL", 1043}, {"nl", "BE", 2067},
    {"pt", "BR", 1046}, {"pt", "PT", 2070},
    {"sv", "SE", 1053}, {"sv", "FI", 2077},
    {"ar", "SA", 1025}, {"ar", "IQ", 2049}, {"ar", "EG", 3073},
    {"ms", "MY", 1086}, {"ms", "BN", 2110},
    {"nb", "NO", 1044}, {"no", "NO", 1044}, {"nn", "NO", 2068},
    {"ja", "JP", 1041}, {"ko", "KR", 1042}, {"ru", "RU", 1049}, {"pl", "PL", 1045},
    {"cs", "CZ", 1029}, {"da", "DK", 1030}, {"el", "GR", 1032}, {"fi", "FI", 1035},
    {"he", "IL", 1037}, {"hu", "HU", 1038}, {"is", "IS", 1039}, {"ro", "RO", 1048},
    {"hr", "HR", 1050}, {"sk", "SK", 1051}, {"sl", "SI", 1060}, {"bg", "BG", 1026},
    {"ca", "ES", 1027}, {"th", "TH", 1054}, {"tr", "TR", 1055}, {"uk", "UA", 1058},
    {"et", "EE", 1061}, {"lv", "LV", 1062}, {"lt", "LT", 1063}, {"fa", "IR", 1065},
    {"vi", "VN", 1066}, {"id", "ID", 1057}, {"hi", "IN", 1081}, {"kk", "KZ", 1087},
    {"mn", "MN", 1104},
}};

constexpr int traditionalChineseTaiwan = 1028;
constexpr int simplifiedChinesePrc = 2052;
constexpr int englishUnitedStates = 1033;

} // namespace

int uiLanguage()
{
    return currentUiLanguage;
}

void setUiLanguage(int language)
{
    currentUiLanguage = language == chineseUi ? chineseUi : englishUi;
}

int uiLanguageFromLanguageId(int windowsLanguageId)
{
    return windowsLanguageId == traditionalChineseTaiwan || windowsLanguageId == simplifiedChinesePrc
        ? chineseUi
        : englishUi;
}

int languageIdFromLocaleName(QStringView localeName)
{
    // Drop the POSIX code set and modifier ("zh_CN.UTF-8", "de_DE@euro").
    qsizetype end = localeName.size();
    for (QChar stop : {QLatin1Char('.'), QLatin1Char('@')}) {
        const qsizetype at = localeName.indexOf(stop);
        if (at >= 0 && at < end)
            end = at;
    }
    const QString name = localeName.left(end).toString();
    const QStringList parts = name.split(QRegularExpression(QStringLiteral("[-_]")));
    if (parts.isEmpty())
        return englishUnitedStates;

    const QString language = parts.front().toLower();
    QString script;
    QString territory;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString& part = parts.at(i);
        if (part.size() == 4 && script.isEmpty() && territory.isEmpty())
            script = part.toLower();
        else if (part.size() == 2 && territory.isEmpty())
            territory = part.toUpper();
    }

    const LocaleLanguageId* languageDefault = nullptr;
    for (const LocaleLanguageId& row : localeTable) {
        if (language != QLatin1String(row.language))
            continue;
        if (territory == QLatin1String(row.territory))
            return row.id;
        if (!languageDefault)
            languageDefault = &row;
    }
    // Without a known territory the script still tells the two Chinese
    // written forms apart.
    if (language == QLatin1String("zh") && script == QLatin1String("hant"))
        return traditionalChineseTaiwan;
    return languageDefault ? languageDefault->id : englishUnitedStates;
}

int uiLanguageFromLocaleName(QStringView localeName)
{
    return uiLanguageFromLanguageId(languageIdFromLocaleName(localeName));
}

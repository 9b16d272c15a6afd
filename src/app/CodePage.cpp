#include "app/CodePage.h"

#include "app/UiLanguage.h"

namespace CodePage {

const char* ansiName()
{
    return uiLanguage() == chineseUi ? "CP936" : "CP1252";
}

QByteArray toAnsi(const QString& text)
{
    return fromUnicode(text, ansiName());
}

QString fromAnsi(const QByteArray& bytes)
{
    return toUnicode(bytes, ansiName());
}

} // namespace CodePage

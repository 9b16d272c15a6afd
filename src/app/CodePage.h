#pragma once

#include <QByteArray>
#include <QString>

// Text conversion to and from the code pages the amplifiers and "save.txt"
// use. The "ANSI code page" is CP936 in the Chinese interface (UiLanguage 0)
// and CP1252 in the English one. fromUnicode and toUnicode are the
// platform's converter: CodePagePosix.cpp realises them through iconv.
namespace CodePage {

// Characters the code page cannot represent become '?'.
QByteArray fromUnicode(const QString& text, const char* codePage);
// Invalid byte sequences become U+FFFD.
QString toUnicode(const QByteArray& bytes, const char* codePage);

// The ANSI code page name for the current UiLanguage ("CP936" or "CP1252").
const char* ansiName();
QByteArray toAnsi(const QString& text);
QString fromAnsi(const QByteArray& bytes);

} // namespace CodePage

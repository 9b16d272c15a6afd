#include "widgets/FontSubstitutions.h"

#include <QFont>
#include <QStringList>

void installFontSubstitutions()
{
    // The graphs' labels are digits, "Hz" and "dB", which the Kai face's own
    // Latin letters draw plainly.
    QFont::insertSubstitutions(QStringLiteral("楷体"),
        {QStringLiteral("AR PL UKai CN"), QStringLiteral("KaiTi"), QStringLiteral("STKaiti"), QStringLiteral("AR PL UMing CN")});
    // The table's texts take their Latin letters from a clear serif face
    // listed first, of about the Song face's width; the Song face only fills
    // in the Chinese characters, as its own Latin letters make "Normal" read
    // "Norma1". The first face is one the windows use nowhere else: Qt keeps
    // one chain of fallbacks per first face and size. Where "宋体" exists
    // (Windows) nothing is substituted.
    QFont::insertSubstitutions(QStringLiteral("宋体"),
        {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif"), QStringLiteral("AR PL UMing CN"),
         QStringLiteral("SimSun"), QStringLiteral("Songti SC"), QStringLiteral("Noto Serif CJK SC")});
    QFont::insertSubstitutions(QStringLiteral("Arial"),
        {QStringLiteral("Liberation Sans"), QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans")});
}

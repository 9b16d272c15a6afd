#include "widgets/FontSubstitutions.h"

#include <QFont>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

// The families the glyphs of `text` come from, in the order of the text.
QStringList facesOf(const QString& family, const QString& text)
{
    QFont font(family);
    font.setPixelSize(15);
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList faces;
    for (const QGlyphRun& run : layout.glyphRuns())
        faces.append(run.rawFont().familyName());
    return faces;
}

bool isCjkFace(const QString& face)
{
    return face.startsWith(QStringLiteral("AR PL"), Qt::CaseInsensitive);
}

TEST(FontSubstitutions, SongTakesLatinFromAClearFaceChineseFromTheCjkFace)
{
    // The CJK face's own Latin letters make "Normal" read "Norma1".
    const QStringList installed = QFontDatabase::families();
    if (!installed.contains(QStringLiteral("AR PL UMing CN"))
        || !(installed.contains(QStringLiteral("Liberation Serif")) || installed.contains(QStringLiteral("DejaVu Serif"))))
        GTEST_SKIP() << "fonts of scripts/install-deps.sh not installed";
    installFontSubstitutions();
    const QString song = QString::fromUtf8("宋体");
    const QStringList latin = facesOf(song, QStringLiteral("Normal fault1"));
    ASSERT_EQ(latin.size(), 1);
    EXPECT_FALSE(isCjkFace(latin.first())) << latin.first().toStdString();
    const QStringList mixed = facesOf(song, QString::fromUtf8("未连接 Normal"));
    ASSERT_EQ(mixed.size(), 2);
    EXPECT_TRUE(mixed.contains(QStringLiteral("AR PL UMing CN"), Qt::CaseInsensitive)) << mixed.join(u',').toStdString();
    // The graphs keep the Kai face for their labels.
    EXPECT_TRUE(isCjkFace(facesOf(QString::fromUtf8("楷体"), QStringLiteral("20Hz")).value(0)));
}

} // namespace

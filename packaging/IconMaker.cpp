// Renders the application icon at the freedesktop icon sizes:
//   vx4-icons OUTPUT_DIR  ->  OUTPUT_DIR/<n>x<n>/apps/vx4-editor.png
#include "widgets/SkinPictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vx4-icons OUTPUT_DIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        // The icon is 16 x 15: drawn at the ratio that makes it `size` wide,
        // centred on a square canvas.
        const qreal ratio = size / 16.0;
        const QPixmap icon = SkinPictures::applicationIcon(ratio);
        QImage square(size, size, QImage::Format_ARGB32_Premultiplied);
        square.fill(Qt::transparent);
        QPainter painter(&square);
        QImage drawn = icon.toImage();
        drawn.setDevicePixelRatio(1); // its pixels, one for one
        painter.drawImage((size - drawn.width()) / 2, (size - drawn.height()) / 2, drawn);
        painter.end();
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        if (!out.mkpath(folder) || !square.save(out.filePath(folder + QStringLiteral("/vx4-editor.png")))) {
            std::fprintf(stderr, "vx4-icons: cannot write %s\n", qPrintable(out.filePath(folder)));
            return 1;
        }
    }
    return 0;
}

#include "widgets/DialogUnits.h"

#include <QFontMetrics>

namespace {

// The average width is taken over the 52 Latin letters, rounded, as dialog
// templates have always measured it.
int averageLetterWidth(const QFontMetrics& metrics)
{
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int total = metrics.horizontalAdvance(letters);
    return qMax(1, (total / 26 + 1) / 2);
}

// Rounded like MulDiv: units * base / divisor to the nearest pixel.
int scale(int units, int base, int divisor)
{
    const long long product = static_cast<long long>(units) * base;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

} // namespace

DialogUnits::DialogUnits(const QFont& dialogFont)
{
    const QFontMetrics metrics(dialogFont);
    baseX = averageLetterWidth(metrics);
    baseY = qMax(1, metrics.height());
}

int DialogUnits::x(int units) const
{
    return scale(units, baseX, 4);
}

int DialogUnits::y(int units) const
{
    return scale(units, baseY, 8);
}

QRect DialogUnits::rect(int left, int top, int width, int height) const
{
    // Edges are converted, not sizes, so that neighbouring controls meet.
    const int l = x(left);
    const int t = y(top);
    return QRect(QPoint(l, t), QPoint(x(left + width) - 1, y(top + height) - 1));
}

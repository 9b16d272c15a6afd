#pragma once

#include <QColor>
#include <QHeaderView>
#include <QStringList>

// Column header of the device list: every section is painted with a vertical
// colour gradient that darkens line by line, the strip right of the last
// column with the same gradient but without its floor.
class CHeaderCtrlCl : public QHeaderView
{
    Q_OBJECT

public:
    static constexpr int greenBlueFloor = 139;

    explicit CHeaderCtrlCl(QWidget *parent = nullptr);

    // Headings and format characters ("0" left, "1" centred, "2" right), one
    // per column; a column without a heading shows the model's header text.
    void insertHeading(int column, const QString &heading, QChar format);
    QStringList headings() const { return headingTexts; }
    QString formatText() const { return format; }

    QColor baseColour() const { return base; }
    void setBaseColour(const QColor &colour);
    int gradientStep() const { return step; }
    void setGradientStep(int amount);
    double heightFactor() const { return factor; }
    void setHeightFactor(double heightFactor);
    int fontHeight() const { return textHeight; }
    void setFontHeight(int pixels);
    QColor textColour() const { return text; }
    void setTextColour(const QColor &colour);

    // Colour of pixel line `line` (0 = top) of a column, or of the strip when
    // `floored` is false.
    QColor gradientColour(int line, bool floored) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont headingFont() const;
    void paintGradient(QPainter &painter, int left, int right, bool floored) const;
    QString headingText(int logical) const;

    QStringList headingTexts;
    QString format;
    QColor base{171, 199, 235};
    int step = 4;
    double factor = 1.0;
    int textHeight = 15;
    QColor text = Qt::black;
};

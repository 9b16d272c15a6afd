#pragma once

#include <QColor>
#include <QStringList>
#include <QTableView>

class CHeaderCtrlCl;

// Report-style list whose rows take their colours from the text of one
// column (the connection state): grid lines, one full row selected at a time,
// scrolling by pixels so that painted scroll bars can move it smoothly.
class CListCtrlCl : public QTableView
{
    Q_OBJECT

public:
    // Only this exact text marks a row as not connected, in either language.
    static inline const QString notConnectedText = QStringLiteral("未连接");
    static constexpr QRgb notConnectedFill = qRgb(150, 205, 205);
    static constexpr QRgb notConnectedTextColour = qRgb(128, 15, 12);
    static constexpr QRgb connectedFill = qRgb(187, 255, 255);
    static constexpr QRgb connectedTextColour = qRgb(0, 128, 255);
    static constexpr QRgb focusFrame = qRgb(0, 0, 128);
    static constexpr int textIndent = 5;
    static constexpr int fontHeight = 15;

    explicit CListCtrlCl(QWidget *parent = nullptr);

    CHeaderCtrlCl *header() const { return headerCtrl; }

    // Adds the heading to the header, always centred (the alignment is
    // accepted for callers' convenience and not used), and gives the column
    // its width. Inserts a model column where the model has none there yet.
    int insertColumn(int column, const QString &heading,
                     Qt::Alignment alignment = Qt::AlignLeft, int width = -1);

    // Further texts that mark a row as not connected: the English
    // interface writes its own text into the connection column, and its
    // silent amplifiers must stand out just as the Chinese ones do.
    void addNotConnectedText(const QString &text);

    int connectionColumn() const { return stateColumn; }
    void setConnectionColumn(int column);

    // The colours a row is drawn in, as the delegate uses them.
    QColor rowFill(int row) const;
    QColor rowTextColour(int row) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    // A new connection state recolours its whole row, not just its cell.
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;

private:
    bool rowNotConnected(int row) const;
    bool rowSelected(int row) const;

    CHeaderCtrlCl *headerCtrl;
    int stateColumn = 3;
    QStringList notConnectedTexts{notConnectedText};
};

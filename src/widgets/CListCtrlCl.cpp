#include "widgets/CListCtrlCl.h"

#include "widgets/CHeaderCtrlCl.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Paints one cell in its row's colours: the full cell filled, the text on one
// line, left-aligned a few pixels in and vertically centred.
class RowColourDelegate : public QStyledItemDelegate
{
public:
    explicit RowColourDelegate(CListCtrlCl *list)
        : QStyledItemDelegate(list), list(list) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        painter->save();
        painter->fillRect(option.rect, list->rowFill(index.row()));
        painter->setPen(list->rowTextColour(index.row()));
        painter->setFont(option.font);
        const QRect textRect = option.rect.adjusted(CListCtrlCl::textIndent, 0, 0, 0);
        painter->setClipRect(option.rect);
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

private:
    CListCtrlCl *list;
};

} // namespace

CListCtrlCl::CListCtrlCl(QWidget *parent)
    : QTableView(parent), headerCtrl(new CHeaderCtrlCl(this))
{
    QFont listFont(QStringLiteral("宋体"));
    listFont.setPixelSize(fontHeight);
    setFont(listFont);

    setHorizontalHeader(headerCtrl);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(new RowColourDelegate(this));
    setAccessibleName(QStringLiteral("Device table"));
}

int CListCtrlCl::insertColumn(int column, const QString &heading, Qt::Alignment, int width)
{
    if (model() && model()->columnCount() <= column)
        model()->insertColumns(model()->columnCount(), column + 1 - model()->columnCount());
    headerCtrl->insertHeading(column, heading, u'1');
    if (width >= 0)
        setColumnWidth(column, width);
    return column;
}

void CListCtrlCl::setConnectionColumn(int column)
{
    stateColumn = column;
    viewport()->update();
}

void CListCtrlCl::addNotConnectedText(const QString &text)
{
    if (!text.isEmpty() && !notConnectedTexts.contains(text))
        notConnectedTexts.append(text);
    viewport()->update();
}

bool CListCtrlCl::rowNotConnected(int row) const
{
    return model() && notConnectedTexts.contains(model()->index(row, stateColumn).data().toString());
}

bool CListCtrlCl::rowSelected(int row) const
{
    return selectionModel() && selectionModel()->isRowSelected(row, rootIndex());
}

QColor CListCtrlCl::rowFill(int row) const
{
    if (rowSelected(row))
        return palette().color(QPalette::Active, QPalette::Highlight);
    return QColor(rowNotConnected(row) ? notConnectedFill : connectedFill);
}

QColor CListCtrlCl::rowTextColour(int row) const
{
    if (rowSelected(row))
        return palette().color(QPalette::Active, QPalette::HighlightedText);
    return QColor(rowNotConnected(row) ? notConnectedTextColour : connectedTextColour);
}

void CListCtrlCl::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                              const QList<int> &roles)
{
    QTableView::dataChanged(topLeft, bottomRight, roles);
    if (!topLeft.isValid() || !bottomRight.isValid())
        return;
    if (stateColumn < topLeft.column() || stateColumn > bottomRight.column())
        return;
    const int top = rowViewportPosition(topLeft.row());
    const int bottom = rowViewportPosition(bottomRight.row()) + rowHeight(bottomRight.row());
    viewport()->update(QRect(0, top, viewport()->width(), bottom - top));
}

void CListCtrlCl::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    const QModelIndex current = currentIndex();
    if (!hasFocus() || !current.isValid() || !model())
        return;
    const int last = model()->columnCount(rootIndex()) - 1;
    const QRect first = visualRect(model()->index(current.row(), 0, rootIndex()));
    const QRect end = visualRect(model()->index(current.row(), last, rootIndex()));
    const QRect row = first.united(end);
    if (row.isEmpty())
        return;
    QPainter painter(viewport());
    painter.setPen(QColor(focusFrame));
    painter.drawRect(row.adjusted(0, 0, -1, -1));
}

#include "editor/EditorContext.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QStyle>

namespace EditorLayout {

void place(const EditorContext& context, QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(context.units.rect(left, top, width, height));
}

QLabel* caption(const EditorContext& context, const QString& text, int left, int top, int width, int height)
{
    auto* label = new QLabel(text, context.canvas);
    place(context, label, left, top, width, height);
    return label;
}

void nameList(QComboBox* list, QLabel* buddy, const QString& name)
{
    const QString text = name.isEmpty() && buddy ? buddy->text() : name;
    if (buddy)
        buddy->setBuddy(list);
    list->setAccessibleName(text);
    list->setAccessibleDescription(text);
}

void useSmallFont(QWidget* widget)
{
    QFont font = widget->font();
    font.setPointSize(font.pointSize() - 1);
    widget->setFont(font);
}

void showWholeEntries(QComboBox* list)
{
    const auto fit = [list] {
        QAbstractItemView* view = list->view();
        const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
        view->setMinimumWidth(view->sizeHintForColumn(0) + 2 * view->frameWidth() + scrollBar);
    };
    fit();
    QAbstractItemModel* model = list->model();
    QObject::connect(model, &QAbstractItemModel::rowsInserted, list, fit);
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, list, fit);
    QObject::connect(model, &QAbstractItemModel::modelReset, list, fit);
    QObject::connect(list, &QComboBox::currentTextChanged, list, &QWidget::setToolTip);
}

QString channelName(const QString& caption, int channel) { return caption + u' ' + channelTitle(channel); }

QString channelTitle(int channel) { return QStringLiteral("CH") + QChar(u'A' + channel); }

} // namespace EditorLayout

#include "editor/EditorContext.h"

#include <QComboBox>
#include <QLabel>

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

QString channelName(const QString& caption, int channel) { return caption + u' ' + channelTitle(channel); }

QString channelTitle(int channel) { return QStringLiteral("CH") + QChar(u'A' + channel); }

} // namespace EditorLayout

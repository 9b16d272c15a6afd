#include "editor/XiuGai.h"

#include "widgets/UserDialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

XiuGai::Answer& installedAnswer()
{
    static XiuGai::Answer answer;
    return answer;
}

} // namespace

XiuGai::XiuGai(QWidget* parent)
    : QDialog(parent)
{
    UserDialogs::keepUntitled(this);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(tr("Restore the factory Settings?"), this);
    layout->addWidget(text);
    auto* buttons = new QHBoxLayout;
    ok = new QPushButton(tr("Ok"), this);
    cancel = new QPushButton(tr("Cancel"), this);
    ok->setAccessibleName(ok->text());
    cancel->setAccessibleName(cancel->text());
    cancel->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool XiuGai::confirm(QWidget* parent)
{
    if (installedAnswer())
        return installedAnswer()();
    XiuGai dialog(parent);
    return dialog.exec() == QDialog::Accepted;
}

void XiuGai::setAnswer(Answer answer)
{
    installedAnswer() = std::move(answer);
}

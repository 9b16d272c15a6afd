#include "editor/CDorvaneDlg.h"

#include "app/SharedState.h"

#include <QLabel>
#include <QVBoxLayout>

CDorvaneDlg::CDorvaneDlg(QWidget* parent)
    : QDialog(parent)
{
    // The home page's port stays closed while the editor owns the line.
    sharedState().reopenHomePort = false;
    setWindowTitle(tr("Device address：%1").arg(sharedState().selectedAddress));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(sharedState().selectedName, this));
}

void CDorvaneDlg::done(int result)
{
    sharedState().reopenHomePort = true;
    QDialog::done(result);
}

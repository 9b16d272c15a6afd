#include "devices/ZhuYe.h"

#include "serial/SerialLink.h"
#include "serial/SerialLinkFactory.h"
#include "serial/WaitClock.h"
#include "widgets/CListCtrlCl.h"

ZhuYe::ZhuYe(QWidget* parent)
    : QDialog(parent), serial(makeSerialLink(this)), devices(std::make_unique<DeviceSession>(*serial, model))
{
}

ZhuYe::~ZhuYe() = default;

void ZhuYe::setEditorOpener(EditorOpener opener) { editorOpener = std::move(opener); }
void ZhuYe::setDeviceListPath(const QString& path) { listPath = path; }
bool ZhuYe::isPolling() const { return false; }
void ZhuYe::searchDevices() {}
void ZhuYe::refreshDevices() {}
void ZhuYe::deleteCurrentRow() {}
void ZhuYe::openEditor(int) {}
void ZhuYe::clickCell(int, int) {}
void ZhuYe::showEvent(QShowEvent* event) { QDialog::showEvent(event); }
void ZhuYe::resizeEvent(QResizeEvent* event) { QDialog::resizeEvent(event); }
void ZhuYe::closeEvent(QCloseEvent* event) { QDialog::closeEvent(event); }
void ZhuYe::keyPressEvent(QKeyEvent* event) { QDialog::keyPressEvent(event); }
bool ZhuYe::eventFilter(QObject* watched, QEvent* event) { return QDialog::eventFilter(watched, event); }

#pragma once

#include <QDialog>

// The editor of one amplifier. It takes everything it needs from
// SharedState (address, name, port, baud rate) and leaves its status text
// there when it closes.
class CDorvaneDlg : public QDialog {
    Q_OBJECT

public:
    explicit CDorvaneDlg(QWidget* parent = nullptr);

protected:
    void done(int result) override;
};

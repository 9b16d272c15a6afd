#pragma once

#include "response/ResponseGraphView.h"

#include <QLineEdit>
#include <QList>
#include <QRect>
#include <QSpinBox>
#include <QString>
#include <QWidget>

// An edit box that is read when the user leaves it (Tab, a click elsewhere,
// or Enter, which moves the focus on); typing alone, a menu opening over it
// or a switch to another window changes nothing.
class EditorBox : public QLineEdit {
    Q_OBJECT

public:
    explicit EditorBox(QWidget* parent = nullptr);

Q_SIGNALS:
    void committed();

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

// The up-down arrows beside a box: a spin box that shows only its buttons.
class ArrowButtons : public QSpinBox {
    Q_OBJECT

public:
    explicit ArrowButtons(QWidget* parent = nullptr);
};

// The picture beside "Connection status：": a green arrow while the
// amplifier answers, a red circle with a white cross when it does not.
class LinkIcon : public QWidget {
    Q_OBJECT

public:
    explicit LinkIcon(QWidget* parent = nullptr);
    void setConnected(bool on);
    bool isConnected() const { return connected; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool connected = false;
};

// The graph areas are the response graphs' own widgets.
using GraphArea = ResponseGraphView;

// The client area of the editor: the background and the one-pixel group
// frames with their titles.
class EditorCanvas : public QWidget {
    Q_OBJECT

public:
    struct Frame {
        QRect rect;    // pixels
        QString title; // drawn over the top line
    };

    explicit EditorCanvas(QWidget* parent = nullptr);
    void setFrames(QList<Frame> frames);
    const QList<Frame>& frames() const { return groupFrames; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<Frame> groupFrames;
};

#pragma once

#include <QDialog>

#include <functional>

class QPushButton;

// The confirmation before a factory reset. Only "Ok" accepts; "Cancel" and
// closing the dialog both leave the amplifier as it is.
class XiuGai : public QDialog {
    Q_OBJECT

public:
    explicit XiuGai(QWidget* parent = nullptr);

    QPushButton* okButton() const { return ok; }
    QPushButton* cancelButton() const { return cancel; }

    // Asks; true only for "Ok". Tests answer through setAnswer().
    static bool confirm(QWidget* parent);
    using Answer = std::function<bool()>;
    static void setAnswer(Answer answer);

private:
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};

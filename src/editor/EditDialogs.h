#pragma once

#include "editor/EditHistory.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QListWidget;

// "Copy channel…": which channel goes onto which, and what it takes along.
class CopyChannelDialog : public QDialog {
    Q_OBJECT

public:
    struct Choice {
        int source = 0;      // 0..3
        QList<int> targets;  // 0..3
        QList<ChannelPart> parts;
    };

    CopyChannelDialog(int channelCount, int source, QWidget* parent = nullptr);
    Choice choice() const;

    // Asks the user; nullopt when cancelled or nothing is chosen. Tests
    // answer through setAnswer instead of a person.
    static std::optional<Choice> ask(QWidget* parent, int channelCount, int source);
    using Answer = std::function<std::optional<Choice>(CopyChannelDialog& dialog)>;
    static void setAnswer(Answer answer);

private:
    void updateTargets();

    QComboBox* sourceList = nullptr;
    QList<QCheckBox*> targetBoxes;
    QList<QCheckBox*> partBoxes;
};

// "History…": the steps, the current one chosen; the user picks another.
class HistoryDialog : public QDialog {
    Q_OBJECT

public:
    HistoryDialog(const QStringList& steps, int current, QWidget* parent = nullptr);
    int chosen() const;

    // The step to go to, nullopt when cancelled. Tests answer through
    // setAnswer instead of a person.
    static std::optional<int> ask(QWidget* parent, const QStringList& steps, int current);
    using Answer = std::function<std::optional<int>(HistoryDialog& dialog)>;
    static void setAnswer(Answer answer);

private:
    QListWidget* list = nullptr;
};

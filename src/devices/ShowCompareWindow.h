#pragma once

#include "show/ShowFile.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// What differs between the amplifiers on the bus and the open show, one
// amplifier per top row (address, name, how many differences) with a check
// box, its differences beneath it (parameter path, amplifier value, show
// value). "Send" hands the checked amplifiers to the home page, which sends
// them their differences; the rows then show what the read-back said.
class ShowCompareWindow : public QDialog {
    Q_OBJECT

public:
    enum Column { AddressColumn, NameColumn, ParameterColumn, AmplifierColumn, ShowColumn, ColumnCount };

    struct Amplifier {
        int address = 0;
        QString name;
        bool answered = false;
        QList<ShowFile::Difference> differences;
    };

    // `sending`: the amplifiers that differ start checked ("Send show…");
    // otherwise none is ("Compare with show…").
    ShowCompareWindow(const QString& showName, bool sending, QWidget* parent = nullptr);

    // Shows the amplifiers, replacing the rows of the same addresses.
    void setAmplifiers(const QList<Amplifier>& amplifiers);
    QList<int> checkedAddresses() const;
    void setChecked(int address, bool checked);

    // The home page's part of "Send": the checked addresses, and a call per
    // amplifier done (progress); returns the summary shown at the end.
    using Progress = std::function<void(int done, int count)>;
    using Sender = std::function<QString(const QList<int>& addresses, const Progress& progress)>;
    void setSender(Sender sender);
    void sendChecked();

    QTreeWidget* list() const { return tree; }
    QPushButton* sendButton() const { return send; }
    QLabel* summaryLabel() const { return summary; }
    QProgressBar* progressBar() const { return progress; }

private:
    QTreeWidgetItem* itemOf(int address) const;
    void fill(QTreeWidgetItem* item, const Amplifier& amplifier);
    void updateSummary();

    QTreeWidget* tree = nullptr;
    QLabel* summary = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* send = nullptr;
    QPushButton* closeButton = nullptr;
    Sender sender;
    bool checkDiffering = false;
};

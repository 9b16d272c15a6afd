#include "devices/ShowCompareWindow.h"

#include "protocol/ParameterTable.h"
#include "widgets/UserDialogs.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

ShowCompareWindow::ShowCompareWindow(const QString& showName, bool sending, QWidget* parent)
    : QDialog(parent), checkDiffering(sending)
{
    setWindowTitle((sending ? tr("Send show: %1") : tr("Compare with show: %1")).arg(showName));
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    tree = new QTreeWidget(this);
    tree->setAccessibleName(tr("Differences"));
    tree->setColumnCount(ColumnCount);
    tree->setHeaderLabels({tr("Address"), tr("Name"), tr("Parameter"), tr("Amplifier"), tr("Show")});
    tree->setRootIsDecorated(true);
    tree->setUniformRowHeights(true);
    // Room for the longest path and list entry, so that nothing is cut.
    const QFontMetrics metrics(font());
    const int valueWidth = metrics.horizontalAdvance(QStringLiteral("10 24dB_Lnkwtz")) + 24;
    const int widths[ColumnCount] = {metrics.horizontalAdvance(tr("Address")) + 60,
                                     metrics.horizontalAdvance(QLatin1Char('M')) * 10,
                                     metrics.horizontalAdvance(QStringLiteral("bandFrequencyHz CHA band 15")) + 24,
                                     valueWidth, valueWidth};
    int total = 0;
    for (int column = 0; column < ColumnCount; ++column) {
        tree->header()->resizeSection(column, widths[column]);
        total += widths[column];
    }
    summary = new QLabel(this);
    summary->setWordWrap(true);
    progress = new QProgressBar(this);
    progress->setAccessibleName(tr("Send progress"));
    progress->setTextVisible(false);
    progress->hide();
    send = new QPushButton(tr("Send checked"), this);
    send->setAccessibleName(send->text());
    send->setAutoDefault(false);
    closeButton = new QPushButton(tr("Close"), this);
    closeButton->setAccessibleName(closeButton->text());
    closeButton->setAutoDefault(false);
    connect(send, &QPushButton::clicked, this, &ShowCompareWindow::sendChecked);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(tree, &QTreeWidget::itemChanged, this, [this] { updateSummary(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(progress, 1);
    buttons->addStretch();
    buttons->addWidget(send);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree, 1);
    layout->addWidget(summary);
    layout->addLayout(buttons);
    const QMargins margins = layout->contentsMargins();
    resize(total + margins.left() + margins.right() + 2 * tree->frameWidth() + 24, metrics.height() * 28);
}

QTreeWidgetItem* ShowCompareWindow::itemOf(int address) const
{
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->data(AddressColumn, Qt::UserRole).toInt() == address)
            return tree->topLevelItem(i);
    return nullptr;
}

void ShowCompareWindow::setAmplifiers(const QList<Amplifier>& amplifiers)
{
    const QSignalBlocker quiet(tree);
    for (const Amplifier& amplifier : amplifiers) {
        QTreeWidgetItem* item = itemOf(amplifier.address);
        const bool fresh = item == nullptr;
        if (fresh) {
            item = new QTreeWidgetItem(tree);
            item->setData(AddressColumn, Qt::UserRole, amplifier.address);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        }
        fill(item, amplifier);
        // Nothing goes out unless the user wants it, or it is what "Send
        // show" is for; a silent amplifier cannot take anything.
        const bool check = fresh ? checkDiffering && amplifier.answered && !amplifier.differences.isEmpty()
                                 : item->checkState(AddressColumn) == Qt::Checked && amplifier.answered
                                     && !amplifier.differences.isEmpty();
        item->setCheckState(AddressColumn, check ? Qt::Checked : Qt::Unchecked);
    }
    updateSummary();
}

void ShowCompareWindow::fill(QTreeWidgetItem* item, const Amplifier& amplifier)
{
    qDeleteAll(item->takeChildren());
    item->setText(AddressColumn, QString::number(amplifier.address));
    item->setText(NameColumn, amplifier.name);
    const qsizetype count = amplifier.differences.size();
    item->setData(NameColumn, Qt::UserRole, amplifier.answered);
    item->setText(ParameterColumn, !amplifier.answered ? tr("did not answer")
                                   : count == 0        ? tr("in sync")
                                   : count == 1        ? tr("1 difference")
                                                       : tr("%1 differences").arg(count));
    for (const ShowFile::Difference& d : amplifier.differences) {
        auto* row = new QTreeWidgetItem(item);
        row->setText(ParameterColumn, ParameterTable::pathText(d.path));
        row->setText(AmplifierColumn, ShowFile::valueText(d.path, d.amplifier));
        row->setText(ShowColumn, ShowFile::valueText(d.path, d.show));
    }
    item->setExpanded(count > 0);
}

QList<int> ShowCompareWindow::checkedAddresses() const
{
    QList<int> addresses;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->checkState(AddressColumn) == Qt::Checked)
            addresses.append(tree->topLevelItem(i)->data(AddressColumn, Qt::UserRole).toInt());
    return addresses;
}

void ShowCompareWindow::setChecked(int address, bool checked)
{
    if (QTreeWidgetItem* item = itemOf(address))
        item->setCheckState(AddressColumn, checked ? Qt::Checked : Qt::Unchecked);
}

void ShowCompareWindow::setSender(Sender s) { sender = std::move(s); }

void ShowCompareWindow::sendChecked()
{
    const QList<int> addresses = checkedAddresses();
    if (addresses.isEmpty() || !sender)
        return;
    progress->setRange(0, static_cast<int>(addresses.size()));
    progress->setValue(0);
    progress->show();
    send->setEnabled(false);
    const QString said = sender(addresses, [this](int done, int count) {
        progress->setRange(0, count);
        progress->setValue(done);
    });
    progress->hide();
    updateSummary();
    if (!said.isEmpty())
        UserDialogs::showMessage(this, said);
}

void ShowCompareWindow::updateSummary()
{
    int differing = 0;
    int silent = 0;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = tree->topLevelItem(i);
        differing += item->childCount() > 0 ? 1 : 0;
        silent += item->data(NameColumn, Qt::UserRole).toBool() ? 0 : 1;
    }
    const int checked = static_cast<int>(checkedAddresses().size());
    const QString text = differing == 0 && silent == 0 ? tr("Every amplifier agrees with the show.")
                                                 : tr("%1 of %2 amplifiers differ from the show; %3 did not answer.")
                                                       .arg(differing)
                                                       .arg(tree->topLevelItemCount())
                                                       .arg(silent);
    summary->setText(text);
    send->setEnabled(checked > 0 && static_cast<bool>(sender));
}

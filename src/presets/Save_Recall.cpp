#include "presets/Save_Recall.h"

#include "app/SharedState.h"
#include "eventlog/EventLog.h"
#include "presets/PresetSlots.h"
#include "serial/SerialLink.h"
#include "serial/SerialLinkFactory.h"
#include "widgets/DialogUnits.h"
#include "widgets/UserDialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

Save_Recall::Runner& installedRunner()
{
    static Save_Recall::Runner runner;
    return runner;
}

DeviceAddress targetAddress()
{
    const int address = sharedState().selectedAddress;
    return static_cast<DeviceAddress>(address >= 0 && address <= 254 ? address : 0);
}

// Layout in dialog units.
constexpr DialogRect numberLabelPlace{10, 8, 70, 10};
constexpr DialogRect slotListPlace{10, 19, 70, 13};
constexpr DialogRect nameLabelPlace{92, 8, 90, 10};
constexpr DialogRect nameBoxPlace{92, 19, 90, 13};
constexpr DialogRect loadPlace{10, 44, 50, 15};
constexpr DialogRect savePlace{71, 44, 50, 15};
constexpr DialogRect clearPlace{132, 44, 50, 15};
constexpr int dialogWidth = 192;
constexpr int dialogHeight = 68;

} // namespace

Save_Recall::Save_Recall(QWidget* parent)
    : QDialog(parent), serial(makeSerialLink(this)), commands(*serial, targetAddress())
{
    UserDialogs::keepUntitled(this);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(192, 236, 243));
    setPalette(colours);
    setAutoFillBackground(true);

    const DialogUnits units(font());
    const auto place = [&units](QWidget* widget, const DialogRect& r) { widget->setGeometry(units.rect(r)); };

    numberLabel = new QLabel(tr("Number"), this);
    numberList = new QComboBox(this);
    for (int slot = 1; slot <= PresetSlots::slotCount; ++slot)
        numberList->addItem(QString::number(slot));
    numberList->setCurrentIndex(-1);
    numberList->setMaxVisibleItems(PresetSlots::slotCount);
    numberLabel->setBuddy(numberList);
    // Qt reports a list's current text as its accessible name, so the name
    // is in the description as well.
    numberList->setAccessibleName(numberLabel->text());
    numberList->setAccessibleDescription(numberLabel->text());

    nameLabel = new QLabel(tr("Name"), this);
    name = new QLineEdit(this);
    nameLabel->setBuddy(name);
    name->setAccessibleName(nameLabel->text());

    load = new QPushButton(tr("Load"), this);
    save = new QPushButton(tr("Save"), this);
    clear = new QPushButton(tr("All Empty"), this);
    for (QPushButton* button : {load, save, clear}) {
        button->setAccessibleName(button->text());
        button->setAutoDefault(false);
    }

    place(numberLabel, numberLabelPlace);
    place(nameLabel, nameLabelPlace);
    place(name, nameBoxPlace);
    place(load, loadPlace);
    place(save, savePlace);
    place(clear, clearPlace);
    place(numberList, slotListPlace);
    setFixedSize(units.size(dialogWidth, dialogHeight));

    connect(numberList, &QComboBox::currentIndexChanged, this, &Save_Recall::onSlotChosen);
    connect(serial.get(), &SerialLink::received, this, &Save_Recall::onReceived);
    connect(load, &QPushButton::clicked, this, &Save_Recall::onLoad);
    connect(save, &QPushButton::clicked, this, &Save_Recall::onSave);
    connect(clear, &QPushButton::clicked, this, &Save_Recall::onClear);

    openLink();
}

Save_Recall::~Save_Recall()
{
    // The port goes back to the editor as soon as the dialog is gone.
    UserDialogs::runAction(parentWidget(), [this] { serial->close(); });
}

void Save_Recall::openLink()
{
    UserDialogs::runAction(this, [this] {
        const SharedState& state = sharedState();
        const QString settings = state.baudText + QStringLiteral(",n,8,1");
        serial->setReceiveThreshold(PresetSlots::receiveThreshold);
        if (state.portNumber != 0)
            serial->open(state.portNumber, settings);
        serial->applySettings(settings);
    });
}

int Save_Recall::chosenSlot() const
{
    return PresetSlots::slotOfPosition(numberList->currentIndex());
}

void Save_Recall::onSlotChosen(int position)
{
    UserDialogs::runAction(this, [this, position] { commands.queryName(PresetSlots::slotOfPosition(position)); });
}

void Save_Recall::onReceived(int eventCode)
{
    if (eventCode != SerialLink::dataReceivedEvent)
        return;
    UserDialogs::runAction(this, [this] {
        const auto text = commands.takeNameAnswer();
        if (!text)
            return;
        name->setText(*text);
        load->setEnabled(*text != QLatin1String(PresetSlots::emptySlotName));
    });
}

void Save_Recall::onLoad()
{
    UserDialogs::runAction(this, [this] {
        if (!commands.recall(chosenSlot()))
            return;
        note(QStringLiteral("slot.recall"), tr("Slot %1 recalled").arg(chosenSlot()));
        UserDialogs::showMessage(this, tr("Load success"));
    });
}

void Save_Recall::onSave()
{
    UserDialogs::runAction(this, [this] {
        const auto rejected = [this] {
            UserDialogs::showMessage(this, tr("Input letters must be less than 16 characters less than 8"));
        };
        const PresetSlots::StoreResult stored = commands.store(chosenSlot(), name->text(), rejected);
        if (stored == PresetSlots::StoreResult::NotSent)
            return;
        const QString slot = QString::number(chosenSlot());
        note(QStringLiteral("slot.store"), stored == PresetSlots::StoreResult::Stored
                                               ? tr("Stored in slot %1 as %2").arg(slot, name->text())
                                               : tr("Stored in slot %1; the name was too long to write").arg(slot));
        UserDialogs::showMessage(this, tr("Save success"));
    });
}

void Save_Recall::onClear()
{
    UserDialogs::runAction(this, [this] {
        if (!commands.clearAll())
            return;
        note(QStringLiteral("slot.clear"), tr("Every slot cleared"));
        UserDialogs::showMessage(this, tr("Empty the complete"));
    });
}

void Save_Recall::note(const QString& kind, const QString& text) const
{
    logEvent(targetAddress(), sharedState().selectedName, kind, text);
}

void Save_Recall::run()
{
    if (installedRunner()) {
        installedRunner()(*this);
        return;
    }
    exec();
}

void Save_Recall::setRunner(Runner runner)
{
    installedRunner() = std::move(runner);
}

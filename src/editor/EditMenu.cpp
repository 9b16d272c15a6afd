#include "editor/EditMenu.h"

#include "app/StatusWords.h"
#include "app/UiLanguage.h"
#include "editor/EditDialogs.h"
#include "editor/EditorSession.h"
#include "widgets/UserDialogs.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

namespace {

QString channelTitle(int channel) { return QStringLiteral("CH%1").arg(QChar(u'A' + channel)); }

// A value as a person reads it: list entries by name, flags as on or off,
// numbers with their unit.
QString valueText(const ParameterPath& path, const AmpParameters& state)
{
    const std::optional<double> v = ParameterTable::value(state, path);
    if (!v)
        return {};
    const Parameter& p = ParameterTable::of(path.key);
    if (p.kind == ParameterKind::Flag)
        return *v != 0 ? EditMenu::tr("on") : EditMenu::tr("off");
    if (path.key == ParameterKey::OutputSource) {
        const int source = static_cast<int>(*v);
        return source == outputSourceBridged ? EditMenu::tr("bridged") : outputSourceNames(uiLanguage()).value(source - 1);
    }
    if (p.texts && p.kind == ParameterKind::Choice)
        return p.texts().value(static_cast<int>(*v) - static_cast<int>(p.minimum)).trimmed();
    const QString number = QString::number(*v, 'f', p.decimals);
    switch (path.key) {
    case ParameterKey::VolumeDb:
    case ParameterKey::GainDb:
    case ParameterKey::BandGainDb:
        return number + QStringLiteral(" dB");
    case ParameterKey::DelayUs:
        return number + QStringLiteral(" us");
    case ParameterKey::HpFrequencyHz:
    case ParameterKey::LpFrequencyHz:
    case ParameterKey::BandFrequencyHz:
        return number + QStringLiteral(" Hz");
    case ParameterKey::AttackMs:
    case ParameterKey::ReleaseMs:
        return number + QStringLiteral(" ms");
    default:
        return number;
    }
}

} // namespace

EditMenu::EditMenu(QMenuBar* bar, EditorSession& session, QWidget* window, std::function<void()> show)
    : QObject(window), session(session), window(window), show(std::move(show)), grouper(steps, &EditMenu::stepLabel),
      pause(this)
{
    edit = bar->addMenu(tr("Edit"));
    undoItem = edit->addAction(tr("Undo"), this, &EditMenu::undo);
    undoItem->setShortcut(QKeySequence::Undo);
    redoItem = edit->addAction(tr("Redo"), this, &EditMenu::redo);
    redoItem->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    historyItem = edit->addAction(tr("History…"), this, &EditMenu::showHistory);
    edit->addSeparator();
    compareItem = edit->addAction(tr("Compare A/B"), this, &EditMenu::toggleCompare);
    compareItem->setCheckable(true);
    compareItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    copyAToBItem = edit->addAction(tr("Copy A to B"), this, &EditMenu::copyAToB);
    copyBToAItem = edit->addAction(tr("Copy B to A"), this, &EditMenu::copyBToA);
    edit->addSeparator();
    copyChannelItem = edit->addAction(tr("Copy channel…"), this, &EditMenu::copyChannel);
    for (QAction* item : edit->actions())
        item->setShortcutContext(Qt::WindowShortcut);

    indicator = new QLabel(bar);
    indicator->setAccessibleName(tr("Settings shown"));
    indicator->setContentsMargins(0, 0, 8, 0);
    QFont bold = indicator->font();
    bold.setBold(true);
    indicator->setFont(bold);
    indicator->hide();
    bar->setCornerWidget(indicator, Qt::TopRightCorner);

    pause.setSingleShot(true);
    connect(&pause, &ClockTimer::timeout, this, [this] {
        grouper.tick(waitClock().nowMs());
        updateActions();
    });
    updateActions();
}

QString EditMenu::caption(ParameterKey key)
{
    switch (key) {
    case ParameterKey::VolumeDb: return tr("Vol(dB)");
    case ParameterKey::Mute: return tr("Mute");
    case ParameterKey::Invert: return tr("Invert");
    case ParameterKey::GainDb: return tr("Gain");
    case ParameterKey::DelayUs: return tr("Delay(us)");
    case ParameterKey::InputType: return tr("Input");
    case ParameterKey::OutputSource: return tr("OUT");
    case ParameterKey::PowerState: return tr("Power");
    case ParameterKey::KnobLock: return tr("Knob lock");
    case ParameterKey::HpType: return tr("High-pass filter type");
    case ParameterKey::LpType: return tr("Low-pass filter type");
    case ParameterKey::HpFrequencyHz: return tr("High-pass filter frequency");
    case ParameterKey::LpFrequencyHz: return tr("Low-pass filter frequency");
    case ParameterKey::AttackMs: return tr("Attack");
    case ParameterKey::ReleaseMs: return tr("Release");
    case ParameterKey::LimiterThreshold: return tr("Threshold(dBu)");
    case ParameterKey::EqBypass: return tr("EQ Bypass");
    case ParameterKey::BandFrequencyHz: return tr("Frequency");
    case ParameterKey::BandGainDb: return tr("boost");
    case ParameterKey::BandQ: return tr("Q");
    case ParameterKey::BandType: return tr("Filter type");
    }
    return {};
}

QString EditMenu::stepLabel(const QList<ParameterPath>& changed, const AmpParameters& after)
{
    if (changed.isEmpty())
        return {};
    const ParameterPath& first = changed.first();
    const auto place = [](const ParameterPath& path) {
        QString text = channelTitle(path.channel);
        if (ParameterTable::of(path.key).scope == ParameterScope::Band)
            text += QLatin1Char(' ') + tr("band %1").arg(path.band + 1);
        return text;
    };
    const bool onePlace = std::all_of(changed.begin(), changed.end(), [&](const ParameterPath& p) {
        return p.channel == first.channel && p.band == first.band;
    });
    // A band's frequency and gain travel together: "EQ CHA band 3 1000 Hz -4.50 dB".
    const bool bandPoint = onePlace && std::all_of(changed.begin(), changed.end(), [](const ParameterPath& p) {
        return p.key == ParameterKey::BandFrequencyHz || p.key == ParameterKey::BandGainDb;
    });
    if (changed.size() == 1) {
        const QString where = ParameterTable::of(first.key).scope == ParameterScope::Amplifier ? QString()
                                                                                               : place(first) + QLatin1Char(' ');
        return caption(first.key) + QLatin1Char(' ') + where + valueText(first, after);
    }
    if (bandPoint)
        return tr("EQ %1 %2 %3")
            .arg(place(first), valueText({ParameterKey::BandFrequencyHz, first.channel, first.band}, after),
                 valueText({ParameterKey::BandGainDb, first.channel, first.band}, after));
    if (onePlace)
        return tr("%1: %n values", nullptr, static_cast<int>(changed.size())).arg(place(first));
    return tr("%n values", nullptr, static_cast<int>(changed.size()));
}

void EditMenu::userChanged()
{
    if (!started)
        return;
    grouper.changed(session.parameters(), waitClock().nowMs());
    pause.start(StepGrouper::pauseMs + 1);
    updateActions();
}

void EditMenu::pressed()
{
    grouper.pressed();
    updateActions();
}

void EditMenu::released()
{
    grouper.released();
    updateActions();
}

void EditMenu::amplifierRead()
{
    grouper.commit();
    const AmpParameters& read = session.parameters();
    if (!started) {
        started = true;
        steps.reset(read);
    } else if (!settingDifferences(steps.current(), read).isEmpty()) {
        // Someone else changed the amplifier (another program, its knobs):
        // the steps no longer lead anywhere it is.
        steps.reset(read);
        otherSteps.reset(otherMemory ? *otherMemory : read);
        UserDialogs::showMessage(window, tr("The amplifier's settings were changed elsewhere; the history starts "
                                            "anew from what it holds now."));
    }
    updateActions();
}

void EditMenu::actionRead(const QString& label)
{
    grouper.commit();
    if (started)
        steps.record(label, session.parameters());
    updateActions();
}

bool EditMenu::reach(const AmpParameters& target)
{
    if (!session.isOpen())
        return false;
    AmpParameters& model = session.parameters();
    const AmpParameters wanted = withSettingsOf(model, target);
    for (const QByteArray& frame : ParameterTable::framesToReach(model, wanted, session.address()))
        session.send(frame);
    model = wanted;
    grouper.forget();
    if (show)
        show();
    return true;
}

void EditMenu::undo()
{
    grouper.commit();
    if (!steps.canUndo() || !session.isOpen())
        return;
    reach(steps.undo());
    updateActions();
}

void EditMenu::redo()
{
    grouper.commit();
    if (!steps.canRedo() || !session.isOpen())
        return;
    reach(steps.redo());
    updateActions();
}

void EditMenu::jumpTo(int index)
{
    grouper.commit();
    if (!session.isOpen())
        return;
    reach(steps.jumpTo(index));
    updateActions();
}

void EditMenu::showHistory()
{
    grouper.commit();
    QStringList labels;
    for (int i = 0; i < steps.allSteps().size(); ++i)
        labels << (i == 0 ? tr("As read from the amplifier") : steps.allSteps()[i].label);
    if (const std::optional<int> chosen = HistoryDialog::ask(window, labels, steps.currentIndex()))
        jumpTo(*chosen);
    updateActions();
}

void EditMenu::toggleCompare()
{
    grouper.commit();
    if (!session.isOpen()) {
        updateActions();
        return;
    }
    if (!otherMemory) {
        // B starts as a copy of A, and is what is shown now.
        otherMemory = session.parameters();
        otherSteps.reset(session.parameters());
        std::swap(steps, otherSteps);
        showingB = true;
    } else {
        const AmpParameters target = *otherMemory;
        otherMemory = session.parameters();
        std::swap(steps, otherSteps);
        reach(target);
        showingB = !showingB;
    }
    updateActions();
}

void EditMenu::copyAToB()
{
    grouper.commit();
    if (!otherMemory || !session.isOpen())
        return;
    if (showingB) {
        reach(*otherMemory);
        steps.record(tr("Copy A to B"), session.parameters());
    } else {
        otherMemory = session.parameters();
        otherSteps.record(tr("Copy A to B"), *otherMemory);
    }
    updateActions();
}

void EditMenu::copyBToA()
{
    grouper.commit();
    if (!otherMemory || !session.isOpen())
        return;
    if (!showingB) {
        reach(*otherMemory);
        steps.record(tr("Copy B to A"), session.parameters());
    } else {
        otherMemory = session.parameters();
        otherSteps.record(tr("Copy B to A"), *otherMemory);
    }
    updateActions();
}

void EditMenu::copyChannel()
{
    grouper.commit();
    if (!session.isOpen())
        return;
    const AmpParameters& model = session.parameters();
    const std::optional<CopyChannelDialog::Choice> choice =
        CopyChannelDialog::ask(window, model.channelCount, model.selectedEqChannel);
    if (!choice)
        return;
    QStringList targets;
    for (int t : choice->targets)
        targets << channelTitle(t);
    applyAsStep(tr("Copy %1 to %2").arg(channelTitle(choice->source), targets.join(QStringLiteral(", "))),
                ::copyChannel(model, choice->source, choice->targets, choice->parts));
}

bool EditMenu::applyAsStep(const QString& label, const AmpParameters& target)
{
    grouper.commit();
    if (!reach(target))
        return false;
    if (started)
        steps.record(label, session.parameters());
    updateActions();
    return true;
}

void EditMenu::updateActions()
{
    const bool open = session.isOpen();
    undoItem->setEnabled(open && steps.canUndo());
    redoItem->setEnabled(open && steps.canRedo());
    undoItem->setText(steps.canUndo() ? tr("Undo %1").arg(steps.undoLabel()) : tr("Undo"));
    redoItem->setText(steps.canRedo() ? tr("Redo %1").arg(steps.redoLabel()) : tr("Redo"));
    if (grouper.hasPending()) {
        // The step being made is undone first.
        const AmpParameters& model = session.parameters();
        undoItem->setEnabled(open);
        undoItem->setText(tr("Undo %1").arg(stepLabel(settingDifferences(steps.current(), model), model)));
    }
    historyItem->setEnabled(open && (!steps.isEmpty() || grouper.hasPending()));
    compareItem->setEnabled(open);
    compareItem->setChecked(otherMemory.has_value() && showingB);
    copyAToBItem->setEnabled(open && otherMemory.has_value());
    copyBToAItem->setEnabled(open && otherMemory.has_value());
    copyChannelItem->setEnabled(open && session.parameters().channelCount > 1);
    indicator->setVisible(otherMemory.has_value());
    indicator->setText(showingB ? QStringLiteral("B") : QStringLiteral("A"));
}

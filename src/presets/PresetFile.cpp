#include "presets/PresetFile.h"

#include "app/RegularFile.h"
#include "clock/WaitClock.h"
#include "protocol/ControlFrame.h"
#include "serial/SerialLink.h"

#include <QSaveFile>


namespace PresetFile {

SaveOutcome save(SerialLink& link, DeviceAddress address, const QString& path, int waitMs)
{
    SaveOutcome outcome;
    // Opened before anything is asked: a file that cannot be written ends the
    // save without a frame. The content goes to a temporary file beside it
    // and replaces the file only once it is complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        outcome.result = SaveResult::CannotOpen;
        outcome.error = file.errorString();
        return outcome;
    }
    link.discardInput();
    QByteArray answer;
    if (link.isOpen()) {
        link.write(Commands::fullStateRequest(address));
        waitClock().waitMs(waitMs);
        answer = link.readAll();
    }
    if (answer.isEmpty()) {
        file.cancelWriting();
        return outcome;
    }
    // commit() ignores a failure of its own flush (a disk that fills in the
    // last buffer would leave a cut-off file in place of the old one), so
    // the flush is checked here first.
    if (file.write(answer) != answer.size() || !file.flush() || !file.commit()) {
        outcome.result = SaveResult::WriteFailed;
        outcome.error = file.errorString();
        file.cancelWriting();
        return outcome;
    }
    outcome.result = SaveResult::Written;
    outcome.bytes = answer.size();
    return outcome;
}

ReadOutcome read(const QString& path)
{
    return RegularFile::read(path, largestFileBytes);
}

QString openFailureText(int errorCode)
{
    return QStringLiteral("File could not be opened %1\n").arg(errorCode);
}

QByteArray replay(SerialLink& link, const QByteArray& stored, DeviceAddress ownAddress, Target target)
{
    const QByteArray frame = ControlFrame::replayStoredFrame(stored, ownAddress, target == Target::AllAmplifiers);
    link.write(frame);
    return frame;
}

void replayAndRequest(SerialLink& link, const QByteArray& stored, DeviceAddress ownAddress, Target target)
{
    replay(link, stored, ownAddress, target);
    waitClock().waitMs(replayWaitMs);
    // The amplifiers do not answer the replay; what came meanwhile is no
    // part of the answer to the request.
    link.discardInput();
    if (link.isOpen())
        link.write(Commands::fullStateRequest(ownAddress));
}

bool load(SerialLink& link, const QString& path, DeviceAddress ownAddress, Target target,
          const std::function<void(const QString&)>& report, const std::function<void()>& readBack)
{
    const ReadOutcome file = read(path);
    if (!file.bytes) {
        if (report)
            report(openFailureText(file.errorCode));
        return false;
    }
    replayAndRequest(link, *file.bytes, ownAddress, target);
    if (readBack)
        readBack();
    return true;
}

} // namespace PresetFile

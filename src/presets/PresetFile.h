#pragma once

#include "app/RegularFile.h"
#include "protocol/Commands.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class SerialLink;

// Preset files on the PC (extension "save"): the bytes an amplifier answered
// to the full-state request, stored verbatim, with no header of their own.
// A load sends them back as one frame, to one amplifier or to all.
namespace PresetFile {

inline constexpr char suffix[] = "save";
inline constexpr int answerWaitMs = 500;  // the editor's wait for the full-state reply it saves
inline constexpr int replayWaitMs = 3000; // all the time the amplifiers get to take a replayed file
// A saved file holds one read of the link, at most 1024 bytes. Anything far
// larger is no preset (a recording, a disk image chosen by mistake) and is
// neither read into memory nor sent to the amplifiers.
inline constexpr qsizetype largestFileBytes = 64 * 1024;

enum class SaveResult {
    Written,    // the file holds exactly the bytes that arrived
    NoAnswer,   // nothing arrived (or the link is closed): the file is as it was
    CannotOpen, // the file cannot be written; nothing was requested
    WriteFailed, // the bytes arrived but could not be stored; the file is as it was
    Cancelled    // no file was chosen (PresetActions::saveAs)
};

struct SaveOutcome {
    SaveResult result = SaveResult::NoAnswer;
    qsizetype bytes = 0;
    QString error; // why the file could not be written
};

// Requests the full state of `address` on `link`, waits `waitMs` and makes
// the file hold exactly what one read returned. The file is replaced
// atomically, so an existing file keeps its content when nothing arrived or
// the write failed, and no new file is left behind then.
SaveOutcome save(SerialLink& link, DeviceAddress address, const QString& path, int waitMs = answerWaitMs);

// The whole content of a preset file, refused at once (nothing read) when it
// is no regular file or is over largestFileBytes.
using ReadOutcome = RegularFile::ReadOutcome;
ReadOutcome read(const QString& path);

// "File could not be opened %d\n" with the cause code (the same text in both
// languages).
QString openFailureText(int errorCode);

// Who a load goes to: the address at offset 3 of the replayed frame.
enum class Target { ThisAmplifier, AllAmplifiers };

// Sends stored bytes back (ControlFrame::replayStoredFrame) in one write,
// without an isOpen() test: a closed link raises its SerialError. Returns the
// bytes sent.
QByteArray replay(SerialLink& link, const QByteArray& stored, DeviceAddress ownAddress, Target target);

// The part of a load after the file is read: replay, replayWaitMs, the
// input dropped, and the full-state request to `ownAddress` when the link
// is open. The caller reads the answer.
void replayAndRequest(SerialLink& link, const QByteArray& stored, DeviceAddress ownAddress, Target target);

// A whole load after the file is chosen: read it (on failure `report` gets
// openFailureText and nothing is sent), replay it, wait replayWaitMs, send
// the full-state request to `ownAddress` (also after a load to all
// amplifiers) and hand over to `readBack`, which reads and shows the answer.
// Returns false when the file could not be read.
bool load(SerialLink& link, const QString& path, DeviceAddress ownAddress, Target target,
          const std::function<void(const QString&)>& report, const std::function<void()>& readBack);

} // namespace PresetFile

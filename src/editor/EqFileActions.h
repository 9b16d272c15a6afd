#pragma once

#include "response/EqFilterText.h"
#include "response/EqImport.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <optional>

class CDorvaneDlg;
class QButtonGroup;
class QMenu;
class QPlainTextEdit;

// "Import EQ…" and "Export EQ…" of the editor's Tools menu: filter files of
// room-measurement programs into and out of the EQ channel shown.
namespace EqFileActions {

// What the items need of the editor beyond its session and its graphs.
struct EditorHooks {
    // Takes the amplifier to a whole state as one step of the Edit menu's
    // history; false when the state was not reached.
    std::function<bool(const QString& label, const AmpParameters& target)> applyAsStep;
    // Records an event of the editor's amplifier in the event log.
    std::function<void(const QString& kind, const QString& text)> note;
};

// Adds the two items to the Tools menu; they act on the editor's amplifier
// while its port is open.
void addMenuItems(QMenu* tools, CDorvaneDlg& editor, const EditorHooks& hooks);

// Asks for a file, shows what its import would do, and on the user's word
// takes the channel there as one step of the history. Nothing is sent for a
// refused file or a cancelled preview.
void importEq(CDorvaneDlg& editor, const EditorHooks& hooks);
// Lets the user choose the form, then a file, and writes the channel's bands.
void exportEq(CDorvaneDlg& editor, const EditorHooks& hooks);

} // namespace EqFileActions

// The preview of an import: every band as it will be, every value that had
// to give way, and what that costs the curve. Nothing is sent before the
// user presses "Import".
class EqImportPreview : public QDialog {
    Q_OBJECT

public:
    struct Content {
        QString heading;  // "room.txt into CHA"
        ChannelParameters bands; // the channel after the import
        std::array<int, bandCount> lines{}; // the file's line of each band, 0 for none
        QStringList adjustments;
        QString curve; // the curve's difference in words
    };

    EqImportPreview(const Content& content, QWidget* parent = nullptr);

    // True when the user chose to import. Tests answer through setAnswer
    // instead of a person.
    static bool ask(QWidget* parent, const Content& content);
    using Answer = std::function<bool(EqImportPreview& dialog)>;
    static void setAnswer(Answer answer);
};

// The form of an export, with the text it will write.
class EqExportDialog : public QDialog {
    Q_OBJECT

public:
    EqExportDialog(const ChannelParameters& channel, const QString& origin, QWidget* parent = nullptr);
    EqTextFormat format() const;

    // The form chosen, nullopt when cancelled. Tests answer through
    // setAnswer instead of a person.
    static std::optional<EqTextFormat> ask(QWidget* parent, const ChannelParameters& channel, const QString& origin);
    using Answer = std::function<std::optional<EqTextFormat>(EqExportDialog& dialog)>;
    static void setAnswer(Answer answer);

private:
    void showText();

    ChannelParameters channel;
    QString origin;
    QButtonGroup* formats = nullptr;
    QPlainTextEdit* text = nullptr;
};

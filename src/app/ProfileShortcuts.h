#pragma once
// Ctrl+S and Ctrl+O of the window: the editor's values saved as a profile file,
// and a profile loaded into the editor (the user then presses CONFIGURAR as
// after a read). The same files vyxctl writes to devices.

#include <QObject>
#include <QString>
#include <optional>

#include "ConfigHost.h"
#include "LinkHost.h"

class QWidget;

namespace vyx::app {

class ProfileShortcuts : public QObject {
public:
    /// Installs the two shortcuts on `form`; `editor` is the form's editor and
    /// `log` where it reports.
    ProfileShortcuts(QWidget& form, ConfigHost& editor, LinkHost& log);

    /// Saves the editor to `path`. Values that fail the write checks are not
    /// saved: the check's message is shown, and nothing is emptied.
    bool Save(const QString& path);
    /// Loads `path` into the editor and logs its name; a refused profile changes
    /// nothing and its reasons are shown. While a device's configuration is in the
    /// editor, the log lists each key the profile sets differently from the device.
    bool Load(const QString& path);

    /// What the connected device holds, as its read (or a write since) put it
    /// in the editor; nothing while no device's configuration is there.
    void DeviceHolds(std::optional<EditorSnapshot> values) { device = std::move(values); }

private:
    void SaveClick();
    void LoadClick();

    QWidget& form;
    ConfigHost& editor;
    LinkHost& log;
    std::optional<EditorSnapshot> device;
};

}  // namespace vyx::app

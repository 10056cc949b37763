#pragma once
// Ctrl+S and Ctrl+O of the window: the editor's values saved as a profile file,
// and a profile loaded into the editor (the user then presses CONFIGURAR as
// after a read). The same files vyxctl writes to devices.

#include <QObject>
#include <QString>

#include "ConfigHost.h"
#include "LinkHost.h"

class QWidget;

namespace vyx::app {

class ProfileShortcuts : public QObject {
public:
    /// Installs the two shortcuts on `form`; `editor` is the form's editor and
    /// `log` takes the line naming an opened profile.
    ProfileShortcuts(QWidget& form, ConfigHost& editor, LinkHost& log);

    /// Saves the editor to `path`. Values that fail the write checks are not
    /// saved: the check's message is shown, and nothing is emptied.
    bool Save(const QString& path);
    /// Loads `path` into the editor and logs its name; a refused profile changes
    /// nothing and its reasons are shown.
    bool Load(const QString& path);

private:
    void SaveClick();
    void LoadClick();

    QWidget& form;
    ConfigHost& editor;
    LinkHost& log;
};

}  // namespace vyx::app

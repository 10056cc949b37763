#pragma once
// The right-hand pane of the wide layout: the two service check boxes and the
// list of device IDs found at the current release, with its count and "Limpar".

class QCheckBox;
class QGroupBox;
class QWidget;

namespace vyx::app {

class LinkLabel;
class RichLog;

class ReleasePane {
public:
    /// Builds the pane on `form` (left of x = 557, so only the wide layout shows it).
    explicit ReleasePane(QWidget* form);

    QCheckBox* Cb_Calvera;
    QCheckBox* Cb_COMAutoClose;
    QGroupBox* GB_ReleaseMode;
    RichLog* LogIdList;
    LinkLabel* L_IdList;
    LinkLabel* L_Clear;
};

}  // namespace vyx::app

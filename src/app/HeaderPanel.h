#pragma once
// The window's header: the link labels, the log pane, the port list, the connect
// button and the progress bar, in the caption-less group GB_Header.

class QGroupBox;
class QProgressBar;
class QWidget;

namespace vyx::app {

class DropDownList;
class LatchButton;
class LinkLabel;
class RichLog;

class HeaderPanel {
public:
    /// Builds the header on `form`, at its place, in its initial state.
    explicit HeaderPanel(QWidget* form);

    QGroupBox* GB_Header;
    LinkLabel* L_Msg;
    LinkLabel* L_Site;
    RichLog* Log;
    DropDownList* ComboBox1;
    LatchButton* ButtonVCP;
    QProgressBar* ProgressBar1;
};

}  // namespace vyx::app

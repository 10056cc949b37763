#pragma once
// A label that reports clicks and the mouse entering and leaving it, for the
// link-style labels of the window (L_Msg, L_Site, L_Clear). A handler may be
// attached or detached at any time; an empty one does nothing.

#include <QLabel>
#include <functional>

namespace vyx::app {

class LinkLabel : public QLabel {
    Q_OBJECT

public:
    explicit LinkLabel(QWidget* parent);
    /// A link-style label as the window draws them (Verdana 8 pt, underlined,
    /// grey), named `name`, showing `text` at (x, y) and sized to it.
    LinkLabel(QWidget* parent, const char* name, const QString& text, int x, int y);

    std::function<void()> OnClick;
    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseLeave;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

}  // namespace vyx::app

#pragma once
// A log pane: lines appended at the end in the pane's current colour. The colour
// holds until the pane is cleared, which makes it black again. The user may type
// in the pane; the tool never reads its text back. A pane keeps at most MaxLines
// lines: a device that floods the link must not exhaust the memory.

#include <QColor>
#include <QStringList>
#include <QTextEdit>

#include "LinkHost.h"

namespace vyx::app {

class RichLog : public QTextEdit {
    Q_OBJECT

public:
    /// Lines kept; past it the oldest lines are dropped as new ones arrive.
    static constexpr int MaxLines = LogMaxLines;

    explicit RichLog(QWidget* parent);

    /// Appends `text` as a new last line; a "\r\n" inside it starts another line.
    void AppendLine(const QString& text);
    /// Colour of the text appended from now on.
    void SetColour(const QColor& value) { colour = value; }
    QColor Colour() const { return colour; }
    /// Removes every line and makes the colour black again.
    void ClearLines();

    /// The pane's lines as plain text.
    QStringList Lines() const;
    /// Colour of the first character of line `index` (black for an empty line).
    QColor LineColour(int index) const;

private:
    QColor colour = Qt::black;
    bool hasLines = false;
};

}  // namespace vyx::app

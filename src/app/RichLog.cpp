#include "RichLog.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "Look.h"

namespace vyx::app {

RichLog::RichLog(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(false);
    setFont(Look::Consolas(12, true));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QTextEdit::WidgetWidth);
    document()->setMaximumBlockCount(MaxLines);
}

void RichLog::AppendLine(const QString& text) {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(colour);
    // An empty first line leaves the document empty, so remember it was written.
    bool newLine = hasLines || !document()->isEmpty();
    const QStringList parts = QString(text)
                                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                  .split(QLatin1Char('\n'));
    for (const QString& part : parts) {
        if (newLine) {
            cursor.insertBlock(QTextBlockFormat(), format);
        }
        cursor.insertText(part, format);
        newLine = true;
    }
    hasLines = true;
}

void RichLog::ClearLines() {
    clear();
    hasLines = false;
    colour = Qt::black;
    setTextColor(Qt::black);
}

QStringList RichLog::Lines() const {
    if (!hasLines && document()->isEmpty()) {
        return {};
    }
    return toPlainText().split(QLatin1Char('\n'));
}

QColor RichLog::LineColour(int index) const {
    const QTextBlock block = document()->findBlockByNumber(index);
    if (!block.isValid()) {
        return Qt::black;
    }
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.isValid() && fragment.length() > 0) {
            return fragment.charFormat().foreground().color();
        }
    }
    return block.charFormat().foreground().color();
}

}  // namespace vyx::app

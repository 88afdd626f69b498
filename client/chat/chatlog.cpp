#include "client/chat/chatlog.h"

#include <QAbstractTextDocumentLayout>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

ChatLog::ChatLog(QWidget *parent) : QTextEdit(parent)
{
    setObjectName(QStringLiteral("mainchat"));
    setReadOnly(true);
    setUndoRedoEnabled(false); // a log keeps no undo history
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setLineWrapMode(QTextEdit::WidgetWidth);
    // A word longer than the log is wide breaks where it must instead of
    // running past the edge, where no scroll bar would reach it.
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document()->setDocumentMargin(5);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);

    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    // Keep the selection visible when the focus goes to the input box.
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);

    normalCursor_ = viewport()->cursor();
}

std::optional<FoundLink> ChatLog::linkAt(const QPoint &viewportPoint) const
{
    const QPointF documentPoint =
        viewportPoint + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const int position = characterNearest(documentPoint);
    // At or past the end of the log there is nothing to point at.
    if (position < 0 || position >= document()->characterCount() - 1)
        return std::nullopt;
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid())
        return std::nullopt;
    // The line with its line end: the end of a line is a blank that belongs
    // to the word before it.
    QString line = block.text();
    if (block.next().isValid())
        line += u'\n';
    std::optional<FoundLink> link = findLinkAt(line, position - block.position());
    if (!link)
        return std::nullopt;
    link->start += block.position();
    return link;
}

int ChatLog::characterNearest(const QPointF &documentPoint) const
{
    // The layout gives the caret position nearest the point, which is the
    // boundary after a character when the pointer is on its right half; the
    // character is the one whose cell holds the point.
    const int caret = document()->documentLayout()->hitTest(documentPoint, Qt::FuzzyHit);
    if (caret <= 0)
        return caret;
    const QTextBlock block = document()->findBlock(caret);
    const int inBlock = caret - block.position();
    const QTextLayout *layout = block.layout();
    if (!layout || inBlock == 0)
        return caret;
    const QTextLine line = layout->lineForTextPosition(inBlock);
    if (!line.isValid() || inBlock == line.textStart())
        return caret;
    const qreal caretX = layout->position().x() + line.cursorToX(inBlock);
    return documentPoint.x() < caretX ? caret - 1 : caret;
}

void ChatLog::selectLink(const FoundLink &link)
{
    QTextCursor selection(document());
    selection.setPosition(link.start);
    selection.setPosition(link.start + link.length, QTextCursor::KeepAnchor);
    setTextCursor(selection);
}

void ChatLog::dropOldestLines()
{
    QTextDocument *log = document();
    const int extraLines = log->blockCount() - kMaxLines;
    const int characters = log->characterCount();
    if (extraLines <= 0 && characters <= kMaxCharacters)
        return;
    int dropped = 0;
    int keptFrom = 0;
    for (QTextBlock line = log->firstBlock(); line.next().isValid(); line = line.next()) {
        if (dropped >= extraLines && characters - keptFrom <= kMaxCharacters)
            break;
        keptFrom = line.next().position();
        ++dropped;
    }
    QTextCursor oldest(log);
    oldest.setPosition(keptFrom, QTextCursor::KeepAnchor);
    oldest.removeSelectedText();
}

void ChatLog::mouseMoveEvent(QMouseEvent *event)
{
    QTextEdit::mouseMoveEvent(event);
    if (linkAt(event->position().toPoint()))
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->setCursor(normalCursor_);
}

void ChatLog::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        if (const auto link = linkAt(event->position().toPoint())) {
            selectLink(*link);
            emit linkClicked(link->text);
            event->accept();
            return;
        }
    }
    QTextEdit::mousePressEvent(event);
}

void ChatLog::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    emit mouseReleased();
}

QMimeData *ChatLog::createMimeDataFromSelection() const
{
    // Copy gives plain text: the log's colours and weights stay here.
    auto *data = new QMimeData;
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    data->setText(text);
    return data;
}

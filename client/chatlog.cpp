#include "client/chatlog.h"

#include <QAbstractTextDocumentLayout>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>

ChatLog::ChatLog(QWidget *parent) : QTextEdit(parent)
{
    setObjectName(QStringLiteral("mainchat"));
    setReadOnly(true);
    setUndoRedoEnabled(false); // a log that is never trimmed must not keep undo history too
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setLineWrapMode(QTextEdit::WidgetWidth);
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
    const int position = document()->documentLayout()->hitTest(documentPoint, Qt::ExactHit);
    if (position < 0)
        return std::nullopt;
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid())
        return std::nullopt;
    std::optional<FoundLink> link = findLinkAt(block.text(), position - block.position());
    if (!link)
        return std::nullopt;
    // Only the link itself is a link, not the punctuation trimmed off it.
    const int inBlock = position - block.position();
    if (inBlock < link->start || inBlock >= link->start + link->length)
        return std::nullopt;
    link->start += block.position();
    return link;
}

void ChatLog::selectLink(const FoundLink &link)
{
    QTextCursor selection(document());
    selection.setPosition(link.start);
    selection.setPosition(link.start + link.length, QTextCursor::KeepAnchor);
    setTextCursor(selection);
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

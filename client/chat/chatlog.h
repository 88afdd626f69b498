#pragma once

#include "client/chat/linkfinder.h"

#include <QCursor>
#include <QTextEdit>

#include <optional>

// The read-only chat log (`mainchat`). It knows about links under the
// mouse; what a click on one does is the panel's business.
class ChatLog : public QTextEdit
{
    Q_OBJECT
public:
    // The log keeps this many lines, one block each, and no more than this
    // many characters (a few dozen of the longest lines a host relays);
    // older lines drop off the top, so that a flood of long lines cannot
    // make each new line, or each line dropped, slower than the last.
    static constexpr int kMaxLines = 3000;
    static constexpr int kMaxCharacters = 400000;

    explicit ChatLog(QWidget *parent = nullptr);

    // The link in the word nearest a point of the viewport, in document
    // positions.
    std::optional<FoundLink> linkAt(const QPoint &viewportPoint) const;

    // Selects exactly the link's characters.
    void selectLink(const FoundLink &link);

    // Drops the oldest lines, in one edit, until the log is within both
    // limits; the newest line always stays.
    void dropOldestLines();

signals:
    void linkClicked(const QString &linkText);
    void mouseReleased();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;

private:
    // The document position of the character nearest a point, -1 for none.
    int characterNearest(const QPointF &documentPoint) const;

    QCursor normalCursor_;
};

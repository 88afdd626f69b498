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
    // The log keeps this many lines, one block each; older ones drop off
    // the top, so that a flood of long lines cannot make each new line
    // slower to lay out than the last.
    static constexpr int kMaxLines = 3000;

    explicit ChatLog(QWidget *parent = nullptr);

    // The link in the word nearest a point of the viewport, in document
    // positions.
    std::optional<FoundLink> linkAt(const QPoint &viewportPoint) const;

    // Selects exactly the link's characters.
    void selectLink(const FoundLink &link);

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

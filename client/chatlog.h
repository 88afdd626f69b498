#pragma once

#include "client/linkfinder.h"

#include <QCursor>
#include <QTextEdit>

#include <optional>

// The read-only chat log (`mainchat`). It knows about links under the
// mouse; what a click on one does is the panel's business.
class ChatLog : public QTextEdit
{
    Q_OBJECT
public:
    explicit ChatLog(QWidget *parent = nullptr);

    // The link under a point of the viewport, in document positions.
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
    QCursor normalCursor_;
};

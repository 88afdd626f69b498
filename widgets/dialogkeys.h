#pragma once

#include <QKeyEvent>

// The keys that dismiss a side window whose only answer is "Done":
// Escape, and Enter on either keyboard block.
inline bool isDismissKey(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return true;
    default:
        return false;
    }
}

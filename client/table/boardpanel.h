#pragma once

#include <QRect>
#include <QWidget>

#include <functional>

// The panel that holds the card table and the chat column: the table's
// stop in the keyboard focus chain. A click on the cloth or a card gives it
// the focus, Tab moves between it and the chat input, and while it has the
// focus a frame round the table shows where the keys go. Keys are offered
// to the table only while the panel itself has the focus, never when they
// come up from a text field on it.
class BoardPanel : public QWidget
{
    Q_OBJECT
public:
    // Answers whether the table took a key.
    using KeyHandler = std::function<bool(int key)>;

    explicit BoardPanel(QWidget *parent = nullptr);

    void setKeyHandler(KeyHandler handler) { keys_ = std::move(handler); }
    // Where the focus frame goes, in the panel's coordinates: the table,
    // without the chat column.
    void setTableArea(const QRect &area);
    QRect tableArea() const { return tableArea_; }
    bool showsFocusFrame() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    class FocusFrame;

    KeyHandler keys_;
    QRect tableArea_;
    FocusFrame *frame_ = nullptr;
};

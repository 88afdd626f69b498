#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QStackedWidget;
class QTextEdit;
class TLbBackground;
class TSelButton;

// The help window: a column of topic buttons on the left and six pages of
// text on the right, one of them in front. It is made once at start and
// hidden, not destroyed, when the user is done with it, so the page shown
// last is still in front next time. Escape and Enter work as "Done".
class Thelp : public QWidget
{
    Q_OBJECT
public:
    explicit Thelp(QWidget *parent = nullptr);
    ~Thelp() override;

    static constexpr int kClientWidth = 521;
    static constexpr int kClientHeight = 422;
    static constexpr int kButtonPanelWidth = 137;

    // The number (1 to 6) of the page in front.
    int currentPage() const;
    TLbBackground &LbBackground1() { return *LbBackground1_; }

signals:
    // "About" was pressed: whoever owns the about window shows it.
    void aboutRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *buildButtonPanel();
    QWidget *buildPagePanel();
    void SelButton1Click(TSelButton *sender);
    void button_aboutClick();

    TLbBackground *LbBackground1_ = nullptr;
    QLabel *label_caption_ = nullptr;
    QStackedWidget *stack_ = nullptr;
    std::array<QTextEdit *, 6> memo_{};
};

#pragma once

#include <QUrl>
#include <QWidget>

#include <functional>

class QLabel;
class TLbBackground;

// The about window: the program's name, the maker's web address as a link,
// who made it and the version, which reads 1.0.3.2 across two labels.
// Escape and Enter work as "Done".
class Tabout : public QWidget
{
    Q_OBJECT
public:
    // Hands a web address to the desktop; replaced in tests.
    using LinkOpener = std::function<void(const QUrl &url)>;

    explicit Tabout(QWidget *parent = nullptr);
    ~Tabout() override;

    static constexpr int kClientWidth = 304;
    static constexpr int kClientHeight = 174;

    void setLinkOpener(LinkOpener opener) { linkOpener_ = std::move(opener); }
    TLbBackground &LbBackground1() { return *LbBackground1_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Label7Click();

    TLbBackground *LbBackground1_ = nullptr;
    QLabel *Label7_ = nullptr;
    LinkOpener linkOpener_;
};

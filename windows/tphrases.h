#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>

class QLineEdit;
class TLbBackground;
class TSelButton;

// The phrase list window: one box per phrase button of the chat panel. It
// only edits; "Done" hands the ten texts to whoever stores and applies them
// (the main window), and any other way of closing changes nothing.
class Tphrases : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kPhraseCount = 10;
    static constexpr int kMaxPhraseLength = 50;
    static constexpr int kClientWidth = 368;
    static constexpr int kClientHeight = 282;

    using Phrases = std::array<QString, kPhraseCount>;
    // The main window's background tile; asked again each time the window
    // comes to the front.
    using TileSource = std::function<QImage()>;

    explicit Tphrases(TileSource tile = {}, QWidget *parent = nullptr);
    ~Tphrases() override;

    // Fills the boxes with the buttons' current phrases and shows the window.
    void showphrases(const Phrases &current);

    // What the boxes hold now.
    Phrases phrases() const;

    void button_doneClick();

    TLbBackground &LbBackground1() { return *LbBackground1_; }

signals:
    // "Done": the phrases are to be stored and put on the buttons at once.
    void phrasesSaved(const Tphrases::Phrases &phrases);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void copyTile();

    TileSource tile_;
    TLbBackground *LbBackground1_ = nullptr;
    std::array<QLineEdit *, kPhraseCount> boxes_{};
    TSelButton *button_done_ = nullptr;
};

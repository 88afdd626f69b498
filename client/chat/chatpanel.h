#pragma once

#include "client/chat/colortext.h"
#include "client/chat/linehead.h"
#include "client/chat/phrasecooldown.h"

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <array>
#include <chrono>
#include <functional>
#include <optional>

class ChatLog;
class MainMenu;
class QAction;
class QLineEdit;
class QMenu;
class QTextBlock;
class QToolButton;
struct ClientSession;

// The right-hand chat column of the main window: the log (`mainchat`), the
// input box (`mychat`) and the ten phrase buttons. It shows what it is told
// and sends what the user types; the host relays every line back to all.
class ChatPanel : public QWidget
{
    Q_OBJECT
public:
    // Asks the user for a colour; no value when the dialog was cancelled.
    using ColorPicker =
        std::function<std::optional<QColor>(const QColor &initial, QWidget *parent)>;
    using LinkOpener = std::function<void(const QUrl &url)>;

    static constexpr int kPhraseCount = 10;
    static constexpr int kDefaultTextSize = 8;
    static constexpr int kMaxChatLength = 8000;
    static inline const QString kPlaceholder = QStringLiteral("<Enter Chat Here>");

    explicit ChatPanel(const ClientSession *session, QWidget *parent = nullptr);
    ~ChatPanel() override;

    // The colour of the client's own notices.
    static QColor systemColour() { return colortext::toQColor(colortext::kBlue); }
    // The phrase button `number` (1 to 10) has when no settings change it.
    static QString builtinPhrase(int number);

    // Appends one line: with a speaker, the part up to and including the
    // first ":" in bold, the rest regular, all in `colour`. The text is
    // shown as written, never read as markup, and on one line: control
    // characters show as spaces.
    // The log keeps its last ChatLog::kMaxLines lines.
    void addlinetochat(const QString &line, const QColor &colour,
                       ChatLineHead head = ChatLineHead::Speaker);

    // Shows the payload of a received CMD_chat or CMD_action:
    // "<name and words>|<colour text>".
    void chatrecieved(const QString &payload);

    // Sends the input box's text (Enter in the box).
    void sendit();

    // The user is in the middle of a chat line: the input has the window's
    // focus and holds words of his own.
    bool isTyping() const;
    // Tab goes from `before` to the input box and from the box back to it.
    void setFocusOrder(QWidget *before);

    // A click on phrase button `number`, 1 to 10.
    void b_phrase1Click(int number);

    // Lays the panel's insides out for the table's scale (1 the designed
    // size): fonts set larger, phrase buttons drawn for their new size. The
    // text size chosen applies on top of it.
    void setScale(qreal scale);
    qreal scale() const { return scale_; }
    // A step of a window's drag: the panel's insides take their places for
    // `scale` at once, while the log's type and the phrase pictures wait for
    // setScale (laying out a long log again costs more than a frame).
    void previewScale(qreal scale);

    // Preferences kept in the settings file, in points at the designed size.
    int textSize() const { return textSize_; }
    void setTextSize(int points);
    colortext::ColorValue textColor() const { return textColor_; }
    void setTextColor(colortext::ColorValue value);
    colortext::ColorValue actionColor() const { return actionColor_; }
    void setActionColor(colortext::ColorValue value);
    // The phrase of button `number`; its hint shows it as plain text.
    QString phrase(int number) const;
    void setPhrase(int number, const QString &text);

    bool scrollChatOff() const { return scrollChatOff_; }

    // Menu commands.
    void TextColor1Click();
    void ActionColor1Click();
    void N14Click(int size);
    void ScrollChatOff1Click();
    void ClearMainChat1Click();
    void Copy1Click();
    void Paste1Click();

    // Wires the main menu's chat items: `TextColor1`, `ActionColor1`,
    // `N8` .. `N14`, `ScrollChatOff2` and `ClearMainChat1`.
    void connectMainMenu(const MainMenu &menu);

    // For tests and for desktops without a dialog.
    void setColorPicker(ColorPicker picker) { colorPicker_ = std::move(picker); }
    void setLinkOpener(LinkOpener opener) { linkOpener_ = std::move(opener); }
    void setPhraseCooldown(std::chrono::milliseconds length) { cooldown_.setLength(length); }

signals:
    // Escape in the input box: the user is done with the chat for now.
    void doneTyping();
    // A chat or action line for the host, which relays it to everybody.
    void sendToHost(const QByteArray &message);
    // Emitted after the user changed a preference through a menu command.
    void textSizeChanged(int points);
    void textColorChanged(colortext::ColorValue value);
    void actionColorChanged(colortext::ColorValue value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildPhraseButtons();
    void showPhraseButtons();
    void sizePhraseButtons(qreal scale);
    void applyFonts();
    void buildMenus();
    enum class MessageKind { Chat, Action };
    void sendChatText(MessageKind kind, const QString &words, colortext::ColorValue colour);
    void applyInputColour();
    void updateSizeChecks();
    void setScrollChatOff(bool off);
    void openLink(const QString &linkText);
    // The top of a line of the log, in document pixels.
    int lineTop(const QTextBlock &line) const;

    const ClientSession *session_;
    ColorPicker colorPicker_;
    LinkOpener linkOpener_;

    ChatLog *mainchat_ = nullptr;
    QLineEdit *mychat_ = nullptr;
    std::array<QToolButton *, kPhraseCount> phraseButtons_{};
    std::array<QString, kPhraseCount> phrases_{};
    QMenu *popupMainchat_ = nullptr;
    QMenu *popupMychat_ = nullptr;
    QAction *scrollChatOff1_ = nullptr;
    QAction *scrollChatOff2_ = nullptr;
    std::array<QAction *, 4> sizeItems_{};

    int textSize_ = kDefaultTextSize;
    qreal scale_ = 1.0;
    colortext::ColorValue textColor_ = colortext::kBlack;
    colortext::ColorValue actionColor_ = colortext::kBlack;
    bool scrollChatOff_ = false;
    int linesShown_ = 0;
    PhraseCooldown cooldown_;
};

#include "client/chat/chatpanel.h"

#include "client/chat/chatlog.h"
#include "client/mainmenu.h"
#include "client/model/clientsession.h"
#include "client/table/scaledplaces.h"
#include "client/table/tablepictures.h"
#include "client/table/tablescale.h"
#include "net/messages.h"
#include "net/peertext.h"
#include "resources/artwork.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const std::array<QString, ChatPanel::kPhraseCount> kBuiltinPhrases{
    QStringLiteral("Way To Go!"),
    QStringLiteral("Good One!"),
    QStringLiteral("Nice Try!"),
    QStringLiteral("Excellent!"),
    QStringLiteral("Brilliant!"),
    QStringLiteral("Wow, WTG!"),
    QStringLiteral("Thanks!"),
    QStringLiteral("Way To Go Teamie!"),
    QStringLiteral("Good Game Everyone!"),
    QStringLiteral("/me waves \"Good-Bye\""),
};

constexpr auto kTextSizes = MainMenu::kTextSizes;
constexpr QSize kLogMinimum(265, 200);
constexpr QSize kPhraseButton(25, 19);
constexpr int kInputTextSize = 10;

const QString kActionPrefix = QStringLiteral("/me");
const QString kPhraseActionPrefix = QStringLiteral("/me ");
const QString kSaysPrefix = QStringLiteral("says: ");

// The host keeps one message per line; a line break typed or pasted into a
// chat line must not split it.
QString oneLine(QString text)
{
    return text.replace(u'\r', u' ').replace(u'\n', u' ');
}

std::optional<QColor> askForColour(const QColor &initial, QWidget *parent)
{
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

} // namespace

ChatPanel::ChatPanel(const ClientSession *session, QWidget *parent)
    : QWidget(parent), session_(session), colorPicker_(askForColour),
      linkOpener_([](const QUrl &url) { QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("chatpanel"));

    mainchat_ = new ChatLog(this);
    mainchat_->setMinimumSize(kLogMinimum);
    // The log is read with the mouse; Tab goes between the input and the
    // table only.
    mainchat_->setFocusPolicy(Qt::ClickFocus);

    mychat_ = new QLineEdit(this);
    mychat_->setObjectName(QStringLiteral("mychat"));
    applyFonts();
    // The host closes a connection whose message grows past its frame limit;
    // a pasted book must not cost the player his seat.
    mychat_->setMaxLength(kMaxChatLength);
    mychat_->setText(kPlaceholder);
    mychat_->installEventFilter(this);
    applyInputColour();

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(0);
    column->addLayout(buttons);
    column->addWidget(mainchat_, 1);
    column->addWidget(mychat_);

    buildPhraseButtons();
    showPhraseButtons();
    for (QToolButton *button : phraseButtons_)
        buttons->addWidget(button);
    buttons->addStretch(1);
    buildMenus();

    connect(mainchat_, &ChatLog::linkClicked, this, &ChatPanel::openLink);
    connect(mainchat_, &ChatLog::mouseReleased, this, [this] { mychat_->setFocus(); });
}

ChatPanel::~ChatPanel() = default;

QString ChatPanel::builtinPhrase(int number)
{
    if (number < 1 || number > kPhraseCount)
        return {};
    return kBuiltinPhrases[number - 1];
}

void ChatPanel::buildPhraseButtons()
{
    for (int i = 0; i < kPhraseCount; ++i) {
        const int number = i + 1;
        auto *button = new QToolButton(this);
        button->setObjectName(QStringLiteral("b_phrase%1").arg(number));
        button->setText(QStringLiteral("P%1").arg(number % 10));
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, [this, number] { b_phrase1Click(number); });
        phraseButtons_[i] = button;
        setPhrase(number, kBuiltinPhrases[i]);
    }
}

void ChatPanel::buildMenus()
{
    popupMainchat_ = new QMenu(this);
    popupMainchat_->setObjectName(QStringLiteral("popup_mainchat"));
    scrollChatOff1_ = popupMainchat_->addAction(tr("Scroll Chat Off"));
    scrollChatOff1_->setObjectName(QStringLiteral("ScrollChatOff1"));
    scrollChatOff1_->setCheckable(true);
    scrollChatOff1_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    scrollChatOff1_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    // Until the main menu's own item takes Ctrl+S, the log answers it.
    mainchat_->addAction(scrollChatOff1_);
    connect(scrollChatOff1_, &QAction::triggered, this, [this] { ScrollChatOff1Click(); });

    QAction *clear = popupMainchat_->addAction(tr("Clear Main Chat"));
    clear->setObjectName(QStringLiteral("ClearMainChat2"));
    connect(clear, &QAction::triggered, this, &ChatPanel::ClearMainChat1Click);

    // The log itself answers Ctrl+C (as plain text); the item only shows it.
    QAction *copy = popupMainchat_->addAction(tr("Copy"));
    copy->setObjectName(QStringLiteral("Copy1"));
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, this, &ChatPanel::Copy1Click);

    mainchat_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mainchat_, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        popupMainchat_->popup(mainchat_->viewport()->mapToGlobal(at));
    });

    popupMychat_ = new QMenu(this);
    popupMychat_->setObjectName(QStringLiteral("popup_mychat"));
    QAction *paste = popupMychat_->addAction(tr("Paste"));
    paste->setObjectName(QStringLiteral("Paste1"));
    paste->setShortcut(QKeySequence::Paste);
    connect(paste, &QAction::triggered, this, &ChatPanel::Paste1Click);
    mychat_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mychat_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { popupMychat_->popup(mychat_->mapToGlobal(at)); });
}

void ChatPanel::connectMainMenu(const MainMenu &menu)
{
    connect(menu.TextColor1, &QAction::triggered, this, &ChatPanel::TextColor1Click);
    connect(menu.ActionColor1, &QAction::triggered, this, &ChatPanel::ActionColor1Click);
    for (size_t i = 0; i < kTextSizes.size(); ++i) {
        const int size = kTextSizes[i];
        sizeItems_[i] = menu.textSizes[i];
        connect(sizeItems_[i], &QAction::triggered, this, [this, size] { N14Click(size); });
    }
    connect(menu.ClearMainChat1, &QAction::triggered, this, &ChatPanel::ClearMainChat1Click);
    scrollChatOff2_ = menu.ScrollChatOff2;
    scrollChatOff2_->setChecked(scrollChatOff_);
    connect(scrollChatOff2_, &QAction::triggered, this, &ChatPanel::ScrollChatOff1Click);
    // The window-wide item now owns Ctrl+S; two owners would cancel out.
    mainchat_->removeAction(scrollChatOff1_);
    updateSizeChecks();
}

void ChatPanel::addlinetochat(const QString &text, const QColor &colour, ChatLineHead lineHead)
{
    const QString line = peertext::withoutControlsButIsolates(text);
    QTextDocument *log = mainchat_->document();
    QScrollBar *bar = mainchat_->verticalScrollBar();
    mainchat_->setUpdatesEnabled(false);

    // With Scroll Chat Off the view and the caret stay where they were. They
    // are held by cursors, which follow the text when the oldest lines drop
    // off the top.
    QTextCursor firstVisible;
    QTextCursor caret;
    int intoFirstVisible = 0;
    if (scrollChatOff_) {
        firstVisible = mainchat_->cursorForPosition(QPoint(0, 0));
        intoFirstVisible = bar->value() - lineTop(firstVisible.block());
        caret = mainchat_->textCursor();
        caret.setPosition(caret.selectionStart());
    }

    QTextCursor end(log);
    end.movePosition(QTextCursor::End);
    end.beginEditBlock();
    // Every line reads left to right, as the game's words do, whatever
    // letters a name or chat text begins with.
    QTextBlockFormat lineFormat;
    lineFormat.setLayoutDirection(Qt::LeftToRight);
    if (linesShown_ > 0)
        end.insertBlock(lineFormat);
    else
        end.setBlockFormat(lineFormat);
    const qsizetype colon = lineHead == ChatLineHead::Speaker ? line.indexOf(u':') : -1;
    const QString head = colon < 0 ? QString() : line.left(colon + 1);
    QTextCharFormat format;
    format.setForeground(colour);
    format.setFontWeight(QFont::Bold);
    end.insertText(head, format);
    format.setFontWeight(QFont::Normal);
    end.insertText(line.mid(head.size()), format);
    end.endEditBlock();
    mainchat_->dropOldestLines();
    ++linesShown_;

    if (scrollChatOff_) {
        // The caret goes back without the selection it may have had.
        QTextCursor back(log);
        back.setPosition(caret.position());
        mainchat_->setTextCursor(back);
        bar->setValue(lineTop(firstVisible.block()) + intoFirstVisible);
    } else {
        mainchat_->moveCursor(QTextCursor::End);
        mainchat_->ensureCursorVisible();
        bar->setValue(bar->maximum()); // down to the bottom margin too
    }
    mainchat_->setUpdatesEnabled(true);
    mainchat_->viewport()->update();
}

int ChatPanel::lineTop(const QTextBlock &line) const
{
    return qRound(mainchat_->document()->documentLayout()->blockBoundingRect(line).top());
}

void ChatPanel::chatrecieved(const QString &received)
{
    const QString payload = peertext::withoutControlsButIsolates(received);
    const qsizetype bar = payload.indexOf(u'|');
    if (bar < 0) {
        addlinetochat(payload, colortext::toQColor(colortext::kRed));
        return;
    }
    const std::optional<colortext::ColorValue> colour =
        colortext::fromText(QStringView(payload).sliced(bar + 1));
    const QColor shown =
        colortext::toQColor(colour.value_or(colortext::kRed), mainchat_->palette());
    addlinetochat(payload.left(bar), shown);
}

void ChatPanel::sendChatText(MessageKind kind, const QString &words, colortext::ColorValue colour)
{
    const QByteArray chatText = (oneLine(words) + u'|' + colortext::toText(colour)).toUtf8();
    emit sendToHost(kind == MessageKind::Chat
                        ? msg::ChatToHost{session_->ownSlot, chatText}.build()
                        : msg::ActionToHost{session_->ownSlot, chatText}.build());
}

void ChatPanel::sendit()
{
    if (!session_ || !session_->loggedIn)
        return;
    const QString typed = mychat_->text();
    if (!typed.isEmpty()) {
        if (!typed.startsWith(u'/'))
            sendChatText(MessageKind::Chat, typed, textColor_);
        else if (typed.startsWith(kActionPrefix))
            sendChatText(MessageKind::Action, typed.mid(4), actionColor_);
        // Any other "/" word is no command of ours and goes nowhere.
    }
    mychat_->clear();
}

void ChatPanel::b_phrase1Click(int number)
{
    if (number < 1 || number > kPhraseCount || !cooldown_.ready())
        return;
    // Before the login the host has no name for us to say it under.
    if (!session_ || !session_->loggedIn)
        return;
    const QString text = phrase(number);
    if (text.startsWith(kPhraseActionPrefix))
        sendChatText(MessageKind::Action, text.mid(kPhraseActionPrefix.size()), actionColor_);
    else
        sendChatText(MessageKind::Action, kSaysPrefix + text, actionColor_);
    cooldown_.use();
}

void ChatPanel::setTextSize(int points)
{
    textSize_ = points;
    applyFonts();
    updateSizeChecks();
}

void ChatPanel::setScale(qreal scale)
{
    if (scale <= 0 || scale == scale_)
        return;
    scale_ = scale;
    mainchat_->setMinimumSize(tablescale::scaled(QRect(QPoint(), kLogMinimum), scale_).size());
    applyFonts();
    showPhraseButtons();
}

void ChatPanel::previewScale(qreal scale)
{
    if (scale <= 0)
        return;
    mainchat_->setMinimumSize(tablescale::scaled(QRect(QPoint(), kLogMinimum), scale).size());
    sizePhraseButtons(scale);
}

void ChatPanel::applyFonts()
{
    QFont logFont;
    logFont.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Sans Serif")});
    logFont.setPointSize(textSize_);
    logFont = ScaledPlaces::scaledFont(logFont, scale_);
    mainchat_->setFont(logFont);
    mainchat_->document()->setDefaultFont(logFont);

    QFont inputFont;
    inputFont.setFamilies({QStringLiteral("Arial"), QStringLiteral("Sans Serif")});
    inputFont.setPointSize(kInputTextSize);
    mychat_->setFont(ScaledPlaces::scaledFont(inputFont, scale_));
}

void ChatPanel::showPhraseButtons()
{
    sizePhraseButtons(scale_);
    for (int i = 0; i < kPhraseCount; ++i) {
        phraseButtons_[std::size_t(i)]->setIcon(
            tablepictures::picture(artwork::Art::PhraseButton, i + 1, scale_));
    }
}

void ChatPanel::sizePhraseButtons(qreal scale)
{
    // The icon is shown at the button's size, so a picture drawn for another
    // size is stretched until its own is drawn.
    const QSize size = tablescale::scaled(QRect(QPoint(), kPhraseButton), scale).size();
    for (QToolButton *button : phraseButtons_) {
        button->setFixedSize(size);
        button->setIconSize(size);
    }
}

void ChatPanel::updateSizeChecks()
{
    for (size_t i = 0; i < kTextSizes.size(); ++i) {
        if (sizeItems_[i])
            sizeItems_[i]->setChecked(kTextSizes[i] == textSize_);
    }
}

void ChatPanel::setTextColor(colortext::ColorValue value)
{
    textColor_ = value;
    applyInputColour();
}

void ChatPanel::setActionColor(colortext::ColorValue value)
{
    actionColor_ = value;
}

void ChatPanel::applyInputColour()
{
    QPalette colours = mychat_->palette();
    colours.setColor(QPalette::Text, colortext::toQColor(textColor_, colours));
    mychat_->setPalette(colours);
}

QString ChatPanel::phrase(int number) const
{
    if (number < 1 || number > kPhraseCount)
        return {};
    return phrases_[std::size_t(number - 1)];
}

void ChatPanel::setPhrase(int number, const QString &text)
{
    if (number < 1 || number > kPhraseCount)
        return;
    phrases_[std::size_t(number - 1)] = text;
    // A hint that looks like markup would be drawn as markup; a phrase is
    // the user's words and shows as typed.
    phraseButtons_[std::size_t(number - 1)]->setToolTip(
        Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpacePre) : text);
}

void ChatPanel::TextColor1Click()
{
    const std::optional<QColor> chosen =
        colorPicker_(colortext::toQColor(textColor_, palette()), window());
    if (!chosen)
        return;
    setTextColor(colortext::fromQColor(*chosen));
    emit textColorChanged(textColor_);
}

void ChatPanel::ActionColor1Click()
{
    const std::optional<QColor> chosen =
        colorPicker_(colortext::toQColor(actionColor_, palette()), window());
    if (chosen)
        setActionColor(colortext::fromQColor(*chosen));
    // Saved whether the dialog was confirmed or not.
    emit actionColorChanged(actionColor_);
}

void ChatPanel::N14Click(int size)
{
    setTextSize(size);
    emit textSizeChanged(size);
}

void ChatPanel::ScrollChatOff1Click()
{
    setScrollChatOff(!scrollChatOff_);
}

void ChatPanel::setScrollChatOff(bool off)
{
    scrollChatOff_ = off;
    scrollChatOff1_->setChecked(off);
    if (scrollChatOff2_)
        scrollChatOff2_->setChecked(off);
}

void ChatPanel::ClearMainChat1Click()
{
    mainchat_->clear();
    linesShown_ = 0;
    mychat_->setFocus();
}

void ChatPanel::Copy1Click()
{
    QString text = mainchat_->textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    QApplication::clipboard()->setText(text);
}

void ChatPanel::Paste1Click()
{
    const QString text = QApplication::clipboard()->text();
    if (!text.isEmpty())
        mychat_->setText(oneLine(text));
}

void ChatPanel::openLink(const QString &linkText)
{
    const QUrl url = urlToOpen(linkText);
    if (url.isValid() && linkOpener_)
        linkOpener_(url);
}

bool ChatPanel::isTyping() const
{
    const QString words = mychat_->text();
    return window()->focusWidget() == mychat_ && !words.isEmpty() && words != kPlaceholder;
}

void ChatPanel::setFocusOrder(QWidget *before)
{
    // Clicks anywhere on the column that takes no focus of its own land in
    // the input box rather than on the table beneath.
    setFocusPolicy(Qt::ClickFocus);
    setFocusProxy(mychat_);
    QWidget::setTabOrder(before, mychat_);
    QWidget::setTabOrder(mychat_, before);
}

bool ChatPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mychat_ && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            emit doneTyping();
            return true;
        }
        // Typing into the box first removes its "<Enter Chat Here>"; a
        // bare Alt or Shift, or a Ctrl shortcut, leaves it.
        const bool typed = !key->text().isEmpty() && !(key->modifiers() & Qt::ControlModifier);
        if (mychat_->text() == kPlaceholder && typed)
            mychat_->clear();
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            sendit();
            return true;
        }
        if (key->matches(QKeySequence::Paste)) {
            Paste1Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

#pragma once

#include "windows/shellopen.h"
#include "windows/thttpcli.h"

#include <QFile>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class TLbBackground;

// The window that offers the maker's lobby program: download and install it,
// go on with the solo game, or leave for a lobby that is already installed.
// It shows over the solo game, which runs on behind it; the download runs on
// the event loop, so both stay responsive.
// Escape goes on with the solo game, as "Play Solo Game" does; Enter presses
// the button that has the focus, "Play Solo Game" when the window opens.
class Tdownload : public QWidget
{
    Q_OBJECT
public:
    // The desktop's "open" action: file, parameters, window state, and who
    // hears later whether the start succeeded. It must not wait: the game
    // this copy may host runs on the same thread.
    using ShellOpen = std::function<void(const QString &file, const QString &parameters,
                                         shellopen::Show show, shellopen::Done done)>;
    using MessageShower = std::function<void(const QString &text)>;

    static constexpr int kClientWidth = 724;
    static constexpr int kClientHeight = 500;

    static inline const QString kInstallerParameters = QStringLiteral("/SP- /silent /noicons");

    explicit Tdownload(QWidget *parent = nullptr);
    ~Tdownload() override;

    THttpCli &HttpCli1() { return *HttpCli1_; }
    TLbBackground &LbBackground1() { return *LbBackground1_; }

    // 1 while a download runs or after it ended normally, 2 once it has been
    // stopped or has failed; 0 before the first.
    int downloadMark() const { return downloadMark_; }

    // Where the installer is saved. Empty (the default) means the program's
    // folder, or the user's data folder when the program's cannot be written.
    void setTargetFolder(const QString &folder) { targetFolder_ = folder; }
    // The installed lobby that "Play with Others" starts.
    void setLobbyProgram(const QString &path) { lobbyProgram_ = path; }
    QString lobbyProgram() const { return lobbyProgram_; }
    void setShellOpen(ShellOpen open) { shellOpen_ = std::move(open); }
    void setMessageShower(MessageShower shower) { showMessage_ = std::move(shower); }

    // Whether the window is to stay away at the next solo start.
    void setDontShowAtStartup(bool on);

signals:
    // The program should end now (the installer or the lobby takes over):
    // the main window's File / Exit.
    void exitRequested();
    // No lobby is installed: the user wants to host or join from the game.
    void playWithOthersRequested();
    // The user ticked or cleared "Do not show this at start-up".
    void dontShowAtStartupChanged(bool on);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildLeftPanel();
    void buildRightPanels();

    void getbuttonClick();
    void abortbuttonClick();
    void Button1Click();
    void Button2Click();
    void HttpCli1HeaderData();
    void HttpCli1DocBegin();
    void HttpCli1DocData(qint64 rcvdCount);
    void HttpCli1RequestDone(THttpCli::Outcome outcome, int status, const QString &reason);
    // What follows a start of the installer or the lobby, once it is known.
    shellopen::Done startOutcome();

    THttpCli *HttpCli1_ = nullptr;
    TLbBackground *LbBackground1_ = nullptr;
    QLabel *Image1_ = nullptr;
    QPushButton *getbutton_ = nullptr;
    QCheckBox *check_dontshow_ = nullptr;
    QPushButton *abortbutton_ = nullptr;
    QPushButton *Button1_ = nullptr;
    QLabel *infolabel_ = nullptr;
    QLabel *infolabel2_ = nullptr;
    QLabel *infolabel3_ = nullptr;

    int downloadMark_ = 0;
    QFile target_;
    QString targetFolder_;
    QString lobbyProgram_;
    ShellOpen shellOpen_;
    MessageShower showMessage_;
    bool centred_ = false;
};

#pragma once

#include <QString>

#include <functional>

class QAction;
class Tabout;
class Thelp;

// Appends one line to the chat in the system colour.
using ChatLineWriter = std::function<void(const QString &line)>;

// Help / Quick Instructions: the short rules, written into the chat.
void QuickInstructions1Click(const ChatLineWriter &writeLine);

// Wires the main window's Help menu and enables its items: "Content"
// (Help2) shows the help window, "Quick Instructions" (QuickInstructions1)
// writes the rules into the chat, "About" (About1) and the help window's own
// "About" show the about window.
void connectHelpMenu(QAction &Help2, QAction &QuickInstructions1, QAction &About1, Thelp &help,
                     Tabout &about, ChatLineWriter writeLine);

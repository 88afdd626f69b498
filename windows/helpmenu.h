#pragma once

#include <QString>

#include <functional>

class QObject;
class Tabout;
class Thelp;

// Appends one line to the chat in the system colour.
using ChatLineWriter = std::function<void(const QString &line)>;

// Help / Quick Instructions: the short rules, written into the chat.
void QuickInstructions1Click(const ChatLineWriter &writeLine);

// Wires the main window's Help menu, found by name among `mainWindow`'s
// children: "Content" (Help2) shows the help window, "Quick Instructions"
// (QuickInstructions1) writes the rules into the chat, "About" (About1) and
// the help window's own "About" show the about window. Items that are
// missing are skipped.
void connectHelpMenu(QObject &mainWindow, Thelp &help, Tabout &about, ChatLineWriter writeLine);

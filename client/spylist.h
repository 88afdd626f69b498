#pragma once

#include <QObject>
#include <QStringList>

// The watchers the client knows of, one entry "slot: name" each, in the
// order they logged in. The spy list window shows these entries; the main
// window keeps them up to date from the host's messages.
class SpyList : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    const QStringList &entries() const { return entries_; }
    bool contains(const QString &entry) const { return entries_.contains(entry); }
    void add(const QString &entry);
    // Removes the first entry that reads exactly `entry`; false if none does.
    bool remove(const QString &entry);

    // Only the host's own copy may remove watchers from the game.
    bool removeEnabled() const { return removeEnabled_; }
    void setRemoveEnabled(bool enabled);

    // "slot: name", as the list shows a watcher.
    static QString entryFor(int slot, const QString &name);

signals:
    void changed();

private:
    QStringList entries_;
    bool removeEnabled_ = false;
};

#include "client/spylist.h"

void SpyList::add(const QString &entry)
{
    entries_.append(entry);
    emit changed();
}

bool SpyList::remove(const QString &entry)
{
    const qsizetype index = entries_.indexOf(entry);
    if (index < 0)
        return false;
    entries_.removeAt(index);
    emit changed();
    return true;
}

void SpyList::setRemoveEnabled(bool enabled)
{
    if (removeEnabled_ == enabled)
        return;
    removeEnabled_ = enabled;
    emit changed();
}

QString SpyList::entryFor(int slot, const QString &name)
{
    return QString::number(slot) + QStringLiteral(": ") + name;
}

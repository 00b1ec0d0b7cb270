#include "ui/dareannouncement.h"

DareAnnouncement::DareAnnouncement(QWidget *window)
    : owner(window)
{ }

void DareAnnouncement::announce(const QString &text)
{
    dare = text;
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

bool DareAnnouncement::isValid() const
{
    return !owner.isNull();
}

QObject *DareAnnouncement::object() const
{
    return nullptr;
}

QWindow *DareAnnouncement::window() const
{
    return owner ? owner->windowHandle() : nullptr;
}

QAccessibleInterface *DareAnnouncement::childAt(int, int) const
{
    return nullptr;
}

QAccessibleInterface *DareAnnouncement::parent() const
{
    return QAccessible::queryAccessibleInterface(owner.data());
}

QAccessibleInterface *DareAnnouncement::child(int) const
{
    return nullptr;
}

int DareAnnouncement::childCount() const
{
    return 0;
}

int DareAnnouncement::indexOfChild(const QAccessibleInterface *) const
{
    return -1;
}

QString DareAnnouncement::text(QAccessible::Text kind) const
{
    return kind == QAccessible::Name ? dare : QString();
}

void DareAnnouncement::setText(QAccessible::Text, const QString &) { }

QRect DareAnnouncement::rect() const
{
    return {};
}

QAccessible::Role DareAnnouncement::role() const
{
    return QAccessible::Notification;
}

QAccessible::State DareAnnouncement::state() const
{
    QAccessible::State state;
    // Out of view until there is a dare to tell.
    state.invisible = dare.isEmpty();
    state.readOnly = true;
    return state;
}

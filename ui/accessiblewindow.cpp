#include "ui/accessiblewindow.h"

#include "ui/dareannouncement.h"
#include "ui/windowlayout.h"

#include <algorithm>

AccessibleWindow::AccessibleWindow(QWidget *window)
    : QAccessibleWidget(window, QAccessible::Window)
    , announcement(new DareAnnouncement(window))
    , announcementId(QAccessible::registerAccessibleInterface(announcement))
{ }

AccessibleWindow::~AccessibleWindow()
{
    QAccessible::deleteAccessibleInterface(announcementId);
}

void AccessibleWindow::announce(const QString &text)
{
    announcement->announce(text);
}

QWidgetList AccessibleWindow::offeredControls() const
{
    QWidgetList offered;
    for (QObject *child : widget()->children()) {
        auto *control = qobject_cast<QWidget *>(child);
        if (!control || control->isWindow())
            continue;
        const WindowLayout::Control *stored = WindowLayout::find(control->objectName());
        if (stored && stored->role != QAccessible::NoRole)
            offered.append(control);
    }
    // In reading order, top to bottom; the two "Get Dare" pictures stay in stacking order.
    std::ranges::stable_sort(offered, {}, [](const QWidget *control) { return control->y(); });
    return offered;
}

int AccessibleWindow::childCount() const
{
    return int(offeredControls().size()) + 1;
}

QAccessibleInterface *AccessibleWindow::child(int index) const
{
    const QWidgetList offered = offeredControls();
    if (index >= 0 && index < offered.size())
        return QAccessible::queryAccessibleInterface(offered.at(index));
    return index == offered.size() ? announcement : nullptr;
}

int AccessibleWindow::indexOfChild(const QAccessibleInterface *child) const
{
    if (child == announcement)
        return int(offeredControls().size());
    return child ? int(offeredControls().indexOf(child->object())) : -1;
}

QAccessibleInterface *AccessibleWindow::childAt(int x, int y) const
{
    // The top-most visible control there; the line takes no input, so over it is the link.
    const QPoint point = widget()->mapFromGlobal(QPoint(x, y));
    QWidget *found = nullptr;
    for (QWidget *control : offeredControls()) {
        if (control->isVisible() && control->geometry().contains(point)
            && (!found
                || widget()->children().indexOf(control) > widget()->children().indexOf(found)))
            found = control;
    }
    return found ? QAccessible::queryAccessibleInterface(found) : nullptr;
}

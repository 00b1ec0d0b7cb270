#include "ui/accessiblewindow.h"

#include "ui/dareannouncement.h"
#include "ui/qtlayout.h"

#include <algorithm>

// Qt 6.8 has its own way to have a message read out (an AT-SPI announcement, a UI Automation
// notification); before it, a notification object that comes into view carries each dare.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
static constexpr bool qtAnnounces = true;
static void announceThroughQt(QWidget *window, const QString &text)
{
    QAccessibleAnnouncementEvent event(window, text);
    QAccessible::updateAccessibility(&event);
}
#else
static constexpr bool qtAnnounces = false;
static void announceThroughQt(QWidget *, const QString &) { }
#endif

AccessibleWindow::AccessibleWindow(QWidget *window)
    : QAccessibleWidget(window, QAccessible::Window)
    , announcement(qtAnnounces ? nullptr : new DareAnnouncement(window))
    , announcementId(announcement ? QAccessible::registerAccessibleInterface(announcement) : 0)
{ }

AccessibleWindow::~AccessibleWindow()
{
    if (announcement)
        QAccessible::deleteAccessibleInterface(announcementId);
}

void AccessibleWindow::announce(const QString &text)
{
    if (announcement)
        announcement->announce(text);
    else
        announceThroughQt(widget(), text);
}

QWidgetList AccessibleWindow::offeredControls() const
{
    QWidgetList offered;
    for (QObject *child : widget()->children()) {
        auto *control = qobject_cast<QWidget *>(child);
        if (!control || control->isWindow())
            continue;
        const WindowLayout::Control *stored = QtLayout::find(control->objectName());
        if (stored && stored->role != WindowLayout::Role::None)
            offered.append(control);
    }
    // In reading order, top to bottom; the two "Get Dare" pictures stay in stacking order.
    std::ranges::stable_sort(offered, {}, [](const QWidget *control) { return control->y(); });
    return offered;
}

int AccessibleWindow::childCount() const
{
    return int(offeredControls().size()) + (announcement ? 1 : 0);
}

QAccessibleInterface *AccessibleWindow::child(int index) const
{
    const QWidgetList offered = offeredControls();
    if (index >= 0 && index < offered.size())
        return QAccessible::queryAccessibleInterface(offered.at(index));
    return index == offered.size() ? announcement : nullptr; // null where Qt announces
}

int AccessibleWindow::indexOfChild(const QAccessibleInterface *child) const
{
    if (child && child == announcement)
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

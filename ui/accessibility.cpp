#include "ui/accessibility.h"

#include "ui/accessiblecontrol.h"
#include "ui/accessiblewindow.h"
#include "ui/frmtazzle.h"
#include "ui/qtlayout.h"

namespace {

QAccessibleInterface *createInterface(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    if (className == QLatin1String(FrmTazzle::staticMetaObject.className()))
        return new AccessibleWindow(widget);
    if (!qobject_cast<FrmTazzle *>(widget->parentWidget()))
        return nullptr;
    // Qt's own interfaces serve the dare label (static text that reads the dare) and the parts
    // the window keeps from the user.
    const WindowLayout::Control *control = QtLayout::find(widget->objectName());
    if (!control || control->role == WindowLayout::Role::None
        || control->role == WindowLayout::Role::StaticText)
        return nullptr;
    return new AccessibleControl(widget, QtLayout::role(control->role));
}

} // namespace

void Accessibility::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(createInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

void Accessibility::announce(QWidget *window, const QString &text)
{
    // Without an assistive technology there is nobody to tell.
    if (!QAccessible::isActive())
        return;
    if (auto *accessible = dynamic_cast<AccessibleWindow *>(
                QAccessible::queryAccessibleInterface(window)))
        accessible->announce(text);
}

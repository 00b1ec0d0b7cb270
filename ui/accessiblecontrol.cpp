#include "ui/accessiblecontrol.h"

#include "ui/pointerinput.h"

#include <QLabel>

AccessibleControl::AccessibleControl(QWidget *control, QAccessible::Role role)
    : QAccessibleWidget(control, role)
{ }

QString AccessibleControl::text(QAccessible::Text kind) const
{
    // A link is named with what it says.
    if (kind == QAccessible::Name && role() == QAccessible::Link) {
        if (const auto *label = qobject_cast<const QLabel *>(widget()))
            return label->text();
    }
    return QAccessibleWidget::text(kind);
}

QAccessible::State AccessibleControl::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    // The plain "Get Dare" picture lies wholly under the highlighted one while that is shown.
    if (covered())
        state.invisible = true;
    return state;
}

QStringList AccessibleControl::actionNames() const
{
    if (role() == QAccessible::Button || role() == QAccessible::Link)
        return {pressAction()};
    return {};
}

void AccessibleControl::doAction(const QString &actionName)
{
    if (actionName != pressAction() || !actionNames().contains(actionName))
        return;
    // Through the control's own click, and so through the same handler and error boundary.
    if (auto *input = widget()->findChild<PointerInput *>(QString(), Qt::FindDirectChildrenOnly))
        input->click();
}

bool AccessibleControl::covered() const
{
    const QWidget *control = widget();
    const QWidget *parent = control->parentWidget();
    if (!parent || !control->isVisible())
        return false;
    // Siblings come in stacking order, bottom first.
    const QObjectList &siblings = parent->children();
    for (qsizetype i = siblings.indexOf(const_cast<QWidget *>(control)) + 1; i < siblings.size();
         ++i) {
        const auto *above = qobject_cast<const QWidget *>(siblings.at(i));
        if (above && above->isVisible() && above->geometry().contains(control->geometry()))
            return true;
    }
    return false;
}

#pragma once

#include <QAccessibleWidget>

// A control of the main window as a screen reader sees it: the role the stored layout gives
// it, and for a button or a link one action, "Press", that does exactly what a click does.
class AccessibleControl : public QAccessibleWidget
{
public:
    AccessibleControl(QWidget *control, QAccessible::Role role);

    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    bool covered() const;
};

#pragma once

#include <QAccessibleInterface>
#include <QPointer>
#include <QWidget>

// What a screen reader hears when a new dare is shown. Orca leaves a label's changes unsaid
// unless the label has the focus, which nothing in this window takes; it does speak a
// notification as it comes into view. So each dare is one: it has no place on the screen and
// takes no input, and it comes into view anew with every dare.
class DareAnnouncement : public QAccessibleInterface
{
public:
    explicit DareAnnouncement(QWidget *window);

    // Shows text and tells the assistive technology, which reads it out.
    void announce(const QString &text);

    bool isValid() const override;
    QObject *object() const override;
    QWindow *window() const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QString text(QAccessible::Text kind) const override;
    void setText(QAccessible::Text kind, const QString &text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;

private:
    QPointer<QWidget> owner;
    QString dare;
};

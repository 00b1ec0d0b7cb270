#pragma once

#include <QAccessibleWidget>

class DareAnnouncement;

// The main window as a screen reader sees it: a frame named with its title, offering the
// controls the user can perceive (not the underline, not the hidden button) and, where Qt has
// no announcements of its own, the notification that carries each new dare.
class AccessibleWindow : public QAccessibleWidget
{
public:
    explicit AccessibleWindow(QWidget *window);
    ~AccessibleWindow() override;

    void announce(const QString &text);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;

private:
    QWidgetList offeredControls() const;

    DareAnnouncement *announcement; // null where Qt announces by itself
    QAccessible::Id announcementId;
};

#pragma once
// Right clicks on a wall view's viewport, as the menu tests give them.
#include <QCoreApplication>
#include <QMouseEvent>

#include "platform/geometry.h"
#include "views/multi_screen_view.h"

// The right button pressed at a viewport point: the view opens its menu.
inline void RightClick(CMultiScreenView& view, QPoint pos)
{
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(pos), QPointF(view.viewport()->mapToGlobal(pos)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &event);
}

inline QPoint Centre(const Rect& r)
{
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

#pragma once
#include "platform/geometry.h"

class QWidget;

// The parent widget of a widget; null for a top-level one.
QWidget* GetParent(const QWidget& widget);

// Whether (x, y) lies in the rectangle, right and bottom edges excluded.
bool PtInRectHelper(const Rect& rect, int x, int y);

// Gives the widget the rectangle's position and size (in its parent's
// coordinates) and repaints it.
void MoveWindow(QWidget& widget, const Rect& rect);

// Makes `widget` a child of `parent` over `rect` and shows or hides it;
// false, with nothing changed, without a parent (a child window needs one).
bool CreateChildWindow(QWidget& widget, QWidget* parent, const Rect& rect, bool visible = true);

#pragma once
#include <QMetaType>

namespace ui {

// What a widget reports to its owner: a code and up to five values whose
// meaning each widget defines. Widgets emit it through a signal of their own.
struct Notify {
    int code = 0;
    int p0 = 0;
    int p1 = 0;
    int p2 = 0;
    int p3 = 0;
    int p4 = 0;

    friend bool operator==(const Notify&, const Notify&) = default;
};

} // namespace ui

Q_DECLARE_METATYPE(ui::Notify)

#pragma once
#include "platform/ui/colour.h"

#include <QLabel>
#include <memory>

// Static text painted in its own text colour on its own background. It may
// own one object of the owner's choosing, deleted with the control.
class CUiStatic : public QLabel {
    Q_OBJECT
public:
    explicit CUiStatic(QWidget* parent = nullptr);
    CUiStatic(const QString& text, QWidget* parent = nullptr);

    ui::ColorRef TextColor() const { return textColour_; }
    ui::ColorRef BkColor() const { return background_; }
    void SetTextColor(ui::ColorRef colour);
    // Also the colour of the brush the whole area is painted with.
    void SetBkColor(ui::ColorRef colour);

    // Takes `object` over; a previous one is deleted now.
    template <class T>
    void SetOwnedObject(std::unique_ptr<T> object)
    {
        owned_ = Owned(object.release(), [](void* p) { delete static_cast<T*>(p); });
    }

private:
    using Owned = std::unique_ptr<void, void (*)(void*)>;
    void applyColours();

    ui::ColorRef textColour_;
    ui::ColorRef background_;
    Owned owned_{nullptr, [](void*) {}};
};

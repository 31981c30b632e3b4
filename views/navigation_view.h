#pragma once
// The placeholder the view container shows when no plan tab is current: a
// plain grey area.
#include <QWidget>

#include "platform/ui/colour.h"

class CNavigationView : public QWidget {
    Q_OBJECT
public:
    static constexpr ui::ColorRef kBackground = ui::rgb(128, 128, 128);

    explicit CNavigationView(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

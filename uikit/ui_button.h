#pragma once
#include "platform/geometry.h"
#include "platform/ui/colour.h"
#include "uikit/ui_button_face.h"

#include <QAbstractButton>
#include <QImage>
#include <string>

class QFont;

// The flat push button of the panes and dialogs: its own colours for the
// normal, pressed, hover and disabled states, or a three-slice skin; an
// optional icon beside or instead of its text; a tip. Clicks come through
// QAbstractButton::clicked.
class CUiButton : public QAbstractButton {
    Q_OBJECT
public:
    // The creation styles the button heeds.
    enum Style : unsigned {
        WS_BORDER = 0x00800000u,
        WS_DISABLED = 0x08000000u,
        WS_VISIBLE = 0x10000000u,
    };

    explicit CUiButton(QWidget* parent = nullptr);

    // Make the button a child of `parent` over `rect`; false without a parent.
    virtual bool Create(const QString& caption, unsigned style, const Rect& rect, QWidget* parent, int id);
    // A visible button with no text.
    virtual bool Create(int id, const Rect& rect, QWidget* parent);

    // Replaces the icon by the image file; false (and no icon) when it cannot
    // be read. A loaded icon goes left of the text.
    bool LoadImage(const std::string& path);
    // An empty text switches the tip off.
    void SetToolTipText(const QString& text);
    // One face colour for every state, then a redraw.
    void SetFaceColor(ui::ColorRef colour);

    int Id() const { return id_; }
    bool IsHover() const { return hover_; }

    // Set by the owner; call update() after changing them.
    bool alignRight = false; // text right-aligned when no icon is loaded
    bool iconRight = false;
    ButtonColours colours;
    // 0: rounded frame filled with the face colour; else no fill, and a plain
    // frame only when created with WS_BORDER.
    int frameStyle = 0;
    // Not owned. Four state rows (normal, hover, pressed, disabled) of three
    // columns (left cap, middle, right cap); magenta in the caps is left out.
    const QImage* skin = nullptr;
    const QFont* textFont = nullptr; // not owned; null: GetUiFont12()

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QImage icon_;
    bool hover_ = false;
    bool border_ = false;
    int id_ = 0;
};

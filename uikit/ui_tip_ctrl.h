#pragma once
#include "platform/geometry.h"
#include "platform/ui/ui_timer.h"
#include "uikit/tip_fade.h"

#include <QPoint>
#include <QString>
#include <QWidget>

// A one-line tip shown next to an item (a tab, a sheet cell). It never takes
// the focus or becomes the active window; where the platform can change a
// window's opacity it fades in and out, elsewhere it shows and hides at once.
class CUiTipCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CUiTipCtrl(QWidget* owner = nullptr);

    // Shows `text` at the anchor's top-left plus `offset` (screen
    // coordinates). The same anchor again changes nothing: true while the
    // tip is visible, false when it is not.
    virtual bool ShowAt(const Rect& anchor, const QPoint& offset, const QString& text);
    // Clears the anchor and fades the tip out (hides it at once without
    // fading); a hidden tip stays hidden.
    virtual void Hide();

    int Alpha() const { return fade_.alpha(); }
    const Rect& Anchor() const { return anchor_; }
    const QString& Text() const { return text_; }
    bool IsLayered() const { return layered_; }
    // Fading is on where the platform supports window opacity; tests force it.
    void SetLayered(bool layered) { layered_ = layered; }
    void SetStep(int step) { fade_.setStep(step); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void onFadeIn();
    void onFadeOut();
    void applyAlpha();

    TipFade fade_;
    ui::UiTimer fadeIn_;
    ui::UiTimer fadeOut_;
    Rect anchor_;
    QString text_;
    bool layered_ = false;
};

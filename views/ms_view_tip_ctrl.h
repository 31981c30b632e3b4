#pragma once
#include <QPointer>
#include <QString>
#include <QWidget>

#include "platform/geometry.h"
#include "platform/ui/colour.h"
#include "platform/ui/ui_timer.h"

class QEvent;

// The wall view's tip: one tool, its owner's area, whose text shows next to
// the pointer once the pointer has rested on the tool for the initial delay
// and goes after the display time. The owner relays its mouse events; a
// button, the wheel or leaving the owner hides the tip. A text of blanks
// shows nothing.
class CMSViewTipCtrl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kInitialDelayMs = 500;
    static constexpr int kAutoPopMs = 3000;

    explicit CMSViewTipCtrl(QWidget* parent = nullptr);

    // The tool: `rect` in the owner's coordinates, empty for all of it.
    void AddTool(QWidget* owner, int toolId, const QString& text, const Rect& rect = Rect{});
    void DelTool(QWidget* owner, int toolId);
    void SetToolRect(QWidget* owner, int toolId, const Rect& rect);
    // Sets the tool's text when it differs from the stored one, and stores it.
    void UpdateText(QWidget* owner, int toolId, const QString& text);
    // Gives the tool the stored text again.
    void RefreshText(QWidget* owner, int toolId);
    void SetTipTextColor(ui::ColorRef colour);
    void SetDelayTime(int initialMs, int autoPopMs);
    // A mouse event of the owner, before the owner handles it.
    void RelayEvent(QEvent& event);

    QString ToolText() const { return toolText_; }
    QString StoredText() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool IsTool(QWidget* owner, int toolId) const;
    bool InTool(const QPoint& ownerPos) const;
    void ShowTip();
    void HideTip();
    void Place();

    QPointer<QWidget> owner_;
    int toolId_ = 0;
    Rect toolRect_;
    QString toolText_;
    QString text_; // the text last given through UpdateText
    ui::ColorRef colour_ = ui::rgb(0, 0, 0);
    int initialMs_ = kInitialDelayMs;
    int autoPopMs_ = kAutoPopMs;
    ui::UiTimer rest_;
    ui::UiTimer autoPop_;
    QPoint anchor_; // global position of the resting pointer
};

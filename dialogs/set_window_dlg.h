#pragma once
// The window position dialog: a window's wall rectangle and its source
// crop, with a live preview of the crop in the extended dialog.
#include <array>
#include <functional>

#include "dialogs/crop_scale.h"
#include "dialogs/modal_dialog.h"
#include "views/view_dialogs.h"

class CSigSrcClipWnd;
class QLineEdit;
class QPushButton;

// The fields: position left, right, top, bottom (0 to 10000000) and the
// crop left, top, right, bottom (without a range).
class CSetWindowDlg : public CModalDialog {
    Q_OBJECT
public:
    enum Field { kLeft, kRight, kTop, kBottom, kCropLeft, kCropTop, kCropRight, kCropBottom, kFieldCount };
    static constexpr int64_t kMaxPosition = 10000000;

    explicit CSetWindowDlg(QWidget* parent = nullptr);

    // The values the fields show at opening, and hold after OK.
    WindowRectValues m_values;

    QLineEdit* FieldEdit(Field f) const { return edits_[f]; }
    QPushButton* PreviewButton() const { return preview_; }

protected:
    void OnInitDialog() override;
    void OnOK() override;
    // The fields as values; nothing (the range message shown) when a
    // position is out of range.
    std::optional<WindowRectValues> ReadFields();
    // The crop fields read as signed integers, saturating.
    CropEdges TypedCrop() const;
    void ShowValues(const WindowRectValues& values);

    std::array<QLineEdit*, kFieldCount> edits_{};
    QPushButton* preview_ = nullptr;
};

class CSetWindowDlgEx : public CSetWindowDlg {
    Q_OBJECT
public:
    static constexpr QRect kPreviewArea{QPoint(290, 15), QPoint(659, 269)}; // (290, 15)-(660, 270)
    static constexpr int kClipId = 1234;

    explicit CSetWindowDlgEx(QWidget* parent = nullptr);

    // The source's resolution; taken only when all three are non-zero.
    void SetLimits(int32_t width, int32_t height, int32_t rate);
    // Where the previews go: the drag's end and "预览".
    std::function<void(const WindowRectValues&)> m_preview;
    bool m_bLivePreview = true;

    CSigSrcClipWnd* ClipWindow() const { return clip_; }

protected:
    void OnInitDialog() override;
    void OnCancel() override;
    void paintEvent(QPaintEvent* event) override;

private:
    CropPreview Preview() const;
    void PlaceClipWindow();
    void OnClipNotify(int code, int p0, int p1);
    void SendPreview();

    int32_t width_ = 1920;
    int32_t height_ = 1080;
    int32_t rate_ = 60;
    WindowRectValues opening_;
    CSigSrcClipWnd* clip_ = nullptr;
    QRect placed_; // where the dialog itself last put the crop window
};

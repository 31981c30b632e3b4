#pragma once
// The OSD settings dialog of a logo window: shown or hidden, position,
// caption and background colours, transparent background and the logo
// picture. It sends nothing itself; its owner previews what it is told.
#include <array>
#include <functional>
#include <memory>

#include "dialogs/modal_dialog.h"
#include "model/osd_record.h"
#include "platform/ui/colour.h"
#include "uikit/static_color_wnd.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// A colour swatch that reports clicks.
class CColourSwatch : public CStaticColorWnd {
    Q_OBJECT
public:
    using CStaticColorWnd::CStaticColorWnd;
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class COSDConfig : public CModalDialog {
    Q_OBJECT
public:
    enum Edit { kTop, kLeft, kCaptionRed, kCaptionGreen, kCaptionBlue, kBackRed, kBackGreen, kBackBlue, kEditCount };
    static constexpr int64_t kMaxPosition = 2000;

    explicit COSDConfig(QWidget* parent = nullptr);

    // The record whose logo the preview shows at opening.
    void SetOsdData(std::shared_ptr<tagOSD_DATA_EX2> osd);

    // The values; the opener sets them before DoModal and reads them after
    // OK, the owner while it is told of changes.
    int m_nShow = 1; // 0 shown, 1 hidden
    bool m_bTransparent = true;
    int m_nTop = 0;
    int m_nLeft = 0;
    ui::ColorRef m_captionColour = 0;
    ui::ColorRef m_backColour = 0;
    tagOSD_DATA_EX2 m_logo; // the logo preview, loaded pictures included

    // Told of every change of the radios, the check box, the colours.
    std::function<void(COSDConfig&)> m_notify;

    QRadioButton* ShownRadio() const { return shown_; }
    QRadioButton* HiddenRadio() const { return hidden_; }
    QCheckBox* TransparentCheck() const { return transparent_; }
    QLineEdit* FieldEdit(Edit e) const { return edits_[e]; }
    CColourSwatch* CaptionSwatch() const { return captionSwatch_; }
    CColourSwatch* BackSwatch() const { return backSwatch_; }
    CStaticColorWnd* LogoPreview() const { return logoPreview_; }
    QPushButton* LoadPictureButton() const { return load_; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    // Takes the fields into the values; false when one is out of range (that
    // one keeps its value), with the range message when `report`.
    bool TakeValues(bool report);
    void ShowColours();
    void Notify();
    void OnColourEdited();
    void OnSwatch(bool caption);
    void OnLoadPicture();

    std::shared_ptr<tagOSD_DATA_EX2> osd_;
    QRadioButton* shown_ = nullptr;
    QRadioButton* hidden_ = nullptr;
    QButtonGroup* showGroup_ = nullptr;
    QCheckBox* transparent_ = nullptr;
    std::array<QLineEdit*, kEditCount> edits_{};
    CColourSwatch* captionSwatch_ = nullptr;
    CColourSwatch* backSwatch_ = nullptr;
    CStaticColorWnd* logoPreview_ = nullptr;
    QPushButton* load_ = nullptr;
};

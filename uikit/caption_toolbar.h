#pragma once
#include "platform/ui/colour.h"
#include "uikit/caption_layout.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

// One button of the caption's tool row: an image with an optional text
// under it, framed while hot or pressed. A click (press and release on it)
// reports its command id; its tip is the widget's tooltip. Other mouse
// buttons go on to the caption.
class ToolButton : public QWidget {
    Q_OBJECT
public:
    enum StateBits { kPressedBit = 2, kHotBit = 8 };

    ToolButton(int id, const QString& text, const QString& tip, const QImage& image, const QFont& font,
               QWidget* parent);

    int Id() const { return id_; }
    const QString& Text() const { return text_; }
    const QString& Label() const { return label_; }
    void SetLabel(const QString& label) { label_ = label; }
    const QImage& Image() const { return image_; }
    // A null image leaves the button without one; it keeps its size.
    void SetImage(const QImage& image);
    Size ImageSize() const { return imageSize_; }
    int State() const { return state_; }
    void SetMargin(int margin) { margin_ = margin; }

signals:
    void clicked(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void setState(int state);

    int id_;
    QString text_;
    QString label_;
    QImage image_;
    Size imageSize_;
    QFont font_;
    int margin_ = 3;
    int state_ = 0;
    bool tracking_ = false;
};

// The caption's tool row: its background (an image drawn with a draw mode,
// else a colour) and its buttons in insertion order.
class CNToolBar : public QWidget {
    Q_OBJECT
public:
    explicit CNToolBar(QWidget* parent);

    // Adds a button with the image at `imagePath`; its index, or -1 (and
    // nothing added) when the image cannot be loaded.
    int AddItem(int id, const QString& text, const QString& tip, const std::string& imagePath);
    void Clear();

    int Count() const { return int(buttons_.size()); }
    ToolButton* Button(int index) const;
    ToolButton* ButtonById(int id) const;
    std::vector<Size> ImageSizes() const;
    // Whether the row takes room: it has a background image or a button.
    bool IsShown() const { return !background_.isNull() || !buttons_.empty(); }
    int RowHeight() const { return rowHeight_; }

    void SetBackColor(ui::ColorRef colour);
    // A null image leaves the row without background and of height 0.
    void SetBackBitmap(const QImage& bitmap, int mode);
    // Places the row over the layout's tool-row band and its buttons as laid out.
    void ApplyLayout(const CaptionLayout& layout);

signals:
    void itemClicked(int id);
    // Buttons were added or removed: the caption's layout is out of date.
    void buttonsChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<ToolButton*> buttons_;
    std::vector<Rect> labels_; // window coordinates
    QFont labelFont_;
    QImage background_;
    ui::ColorRef backColour_;
    int rowHeight_ = 25;
    int drawMode_ = 0;
};

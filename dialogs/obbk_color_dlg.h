#pragma once
// The output boards' background colour: red, green and blue (0-255 each),
// a button showing their colour that opens the colour chooser, and the
// button that sends the colour to the current processor. The dialog stays
// open after sending; OK and Cancel only close it.
#include <QPushButton>

#include "dialogs/modal_dialog.h"
#include "platform/ui/colour.h"

class QLabel;
class QLineEdit;

// A button painted all over in one colour.
class CColourButton : public QPushButton {
    Q_OBJECT
public:
    explicit CColourButton(QWidget* parent = nullptr) : QPushButton(parent) {}
    void SetColour(ui::ColorRef colour);
    ui::ColorRef Colour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ui::ColorRef colour_ = ui::rgb(255, 0, 0);
};

class CDlgSetOBBKColor : public CModalDialog {
    Q_OBJECT
public:
    explicit CDlgSetOBBKColor(QWidget* parent = nullptr);

    QLineEdit* RedEdit() const { return edits_[0]; }
    QLineEdit* GreenEdit() const { return edits_[1]; }
    QLineEdit* BlueEdit() const { return edits_[2]; }
    CColourButton* ColourButton() const { return colour_; }
    QPushButton* UpdateButton() const { return update_; }

    // "更新输出板颜色".
    void OnUpdateColour();

protected:
    void OnInitDialog() override;

private:
    void OnEditChanged();
    void OnChooseColour();

    QLineEdit* edits_[3] = {};
    CColourButton* colour_ = nullptr;
    QPushButton* update_ = nullptr;
    QLabel* prompt_ = nullptr;
};

#include "uikit/ui_static.h"

CUiStatic::CUiStatic(QWidget* parent) : CUiStatic(QString(), parent) {}

CUiStatic::CUiStatic(const QString& text, QWidget* parent)
    : QLabel(text, parent), textColour_(ui::sysColor(ui::COLOR_WINDOWTEXT)),
      background_(ui::sysColor(ui::COLOR_BTNFACE))
{
    setAutoFillBackground(true);
    applyColours();
}

void CUiStatic::SetTextColor(ui::ColorRef colour)
{
    textColour_ = colour;
    applyColours();
}

void CUiStatic::SetBkColor(ui::ColorRef colour)
{
    background_ = colour;
    applyColours();
}

void CUiStatic::applyColours()
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, ui::toQColor(textColour_));
    pal.setBrush(QPalette::Window, QBrush(ui::toQColor(background_)));
    setPalette(pal);
}

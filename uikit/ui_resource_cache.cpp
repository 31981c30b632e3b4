#include "uikit/ui_resource_cache.h"

#include "platform/ui/init_ui.h"

#include <QApplication>
#include <array>

namespace {

enum Slot { Font12, FontA, FontB, Font18, Font18Bold, SlotCount };

// Plain pointers, so nothing is destroyed by a static destructor after the
// application object is gone.
std::array<QFont*, SlotCount> g_fonts{};
bool g_postRoutineAdded = false;

void freeWithApplication()
{
    g_postRoutineAdded = false;
    FreeUiResourceCache();
}

QFont* makeFont(Slot slot)
{
    // The faces map to the installed CJK family (see ui::initUi).
    ui::initUi();
    auto* font = new QFont(QStringLiteral("宋体"));
    switch (slot) {
    case Font12: font->setPixelSize(12); break;
    case FontA: font->setPixelSize(10); break;
    case FontB: font->setPixelSize(11); break;
    case Font18: font->setPixelSize(18); break;
    case Font18Bold: font->setPixelSize(18); break;
    case SlotCount: break;
    }
    const bool swiss = slot == Font12 || slot == FontA || slot == Font18Bold;
    font->setStyleHint(swiss ? QFont::SansSerif : QFont::Serif);
    font->setFixedPitch(swiss);
    font->setWeight(slot == Font18Bold ? QFont::Bold : QFont::Normal);
    return font;
}

const QFont& get(Slot slot)
{
    if (!g_fonts[slot]) {
        g_fonts[slot] = makeFont(slot);
        if (!g_postRoutineAdded && QCoreApplication::instance()) {
            g_postRoutineAdded = true;
            qAddPostRoutine(freeWithApplication);
        }
    }
    return *g_fonts[slot];
}

} // namespace

const QFont& GetUiFont12()
{
    return get(Font12);
}
const QFont& GetUiFontA()
{
    return get(FontA);
}
const QFont& GetUiFontB()
{
    return get(FontB);
}
const QFont& GetUiFont18()
{
    return get(Font18);
}
const QFont& GetUiFont18Bold()
{
    return get(Font18Bold);
}

void InitUiResourceCache()
{
    FreeUiResourceCache();
}

void FreeUiResourceCache()
{
    for (QFont*& font : g_fonts) {
        delete font;
        font = nullptr;
    }
}

void CreateMenuFont(QFont& font)
{
    if (!QApplication::instance())
        return;
    font = QApplication::font("QMenu");
}

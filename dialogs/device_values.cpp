#include "dialogs/device_values.h"

#include "core/language_tr.h"
#include "corlane/fstr.h"

using qz::vok::fstr_format;

namespace {
BorderTuning g_lastBorder;
} // namespace

BorderTuning LastBorderTuning()
{
    return g_lastBorder;
}

void SetLastBorderTuning(const BorderTuning& tuning)
{
    g_lastBorder = tuning;
}

std::vector<std::string> BorderCommands(bool enabled, int size, int brightness)
{
    return {fstr_format("I_F SDLW 0xFF %d\r\n", enabled ? size : border::kOffSize),
            fstr_format("I_F SDLT 0xFF %d\r\n", enabled ? brightness : border::kOffBrightness)};
}

QString ResetProgressText(int step, int steps, int done, int total)
{
    return TranslateText(QStringLiteral("处理器复位中，请稍等...")) +
           QStringLiteral("   %1 / %2, %3 / %4").arg(step + 1).arg(steps).arg(done).arg(total);
}

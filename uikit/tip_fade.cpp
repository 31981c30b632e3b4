#include "uikit/tip_fade.h"

#include <algorithm>

void TipFade::setStep(int step)
{
    step_ = std::clamp(step, 1, 255);
}

bool TipFade::fadeInTick()
{
    if (alpha_ >= 255) {
        alpha_ = 255;
        return false;
    }
    alpha_ += step_;
    if (alpha_ >= 255) {
        alpha_ = 255;
        return false;
    }
    return true;
}

bool TipFade::fadeOutTick()
{
    if (alpha_ > 0) {
        alpha_ -= step_;
        if (alpha_ > 0)
            return true;
    }
    alpha_ = 0;
    return false;
}

#pragma once

// The tooltip's alpha and its two fade timers' ticks, apart from the window
// so the counts can be checked headless.
class TipFade {
public:
    static constexpr int kDefaultStep = 10;
    static constexpr int kFadeInMs = 500;
    static constexpr int kFadeOutMs = 200;

    int alpha() const { return alpha_; }
    int step() const { return step_; }
    // Kept within 1 to 255: a larger step would make the periods divide by 0.
    void setStep(int step);

    // Timer periods in production milliseconds: the fade time spread over
    // the ticks a full fade takes (500 / 25 = 20 ms, 200 / 25 = 8 ms).
    int fadeInPeriod() const { return kFadeInMs / (255 / step_); }
    int fadeOutPeriod() const { return kFadeOutMs / (255 / step_); }

    // One fade-in tick; false when the fade-in timer is to stop (alpha 255).
    bool fadeInTick();
    // One fade-out tick; false when the fade-out timer is to stop and the
    // tip to be hidden (alpha 0).
    bool fadeOutTick();

private:
    int step_ = kDefaultStep;
    int alpha_ = 0;
};

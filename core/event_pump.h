#pragma once

// Events delivered per tick of the UI's 50 ms timer; the rest wait a tick.
constexpr int kEventsPerTick = 32;

// One tick of the UI thread's event delivery: takes up to kEventsPerTick
// events off the process-wide queue and fires each. Returns how many fired.
int PumpEvents();

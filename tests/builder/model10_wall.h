#pragma once
// The full model-10 wall the overlay and paint benchmarks time: a 6 x 6
// wall of 1920 x 1080 outputs and 72 windows from a fixed-seed generator
// (the paint benchmark also times a 16 x 16 wall of 256 windows).
class CQelPlan;
class CQelProcessor;

inline constexpr int kModel10Side = 6;
inline constexpr int kModel10Windows = 72;

// Input boards 0 to 8 with four 1920 x 1080 sources each; output boards
// from 109 with four outputs each, on a side x side wall.
void BuildModel10(CQelProcessor& p, int side = kModel10Side);

void AddModel10Windows(CQelPlan& plan, int count = kModel10Windows, int side = kModel10Side);

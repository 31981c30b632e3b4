#pragma once
#include <cstdint>

// The processor models, by the code the processor file and the links carry
// (CQelProcessor::GetKind). Codes outside these are kept and shown, but no
// builder serves them.
enum ProcessorModel : int32_t {
    kModelOneScaler = 1,     // one scaler for the whole wall, own command text
    kModelSourceScalers = 2, // the sources' scalers, own command text
    kModel16x16 = 3,
    kModelLed = 4,
    kModel32x32 = 5,
    kModel16Part = 6,
    // The 8-part family, by how many parts the wall is cut into.
    kModel8PartTwo = 7,
    kModel8PartFour = 8,
    kModel8PartOne = 9,
    kModel8PartNine = 10,
};

// Models 7 to 10: the 8-part sender serves them, their walls are sized by
// row heights and column widths, and they share the board commands.
constexpr bool IsEightPartModel(int32_t kind)
{
    return kind >= kModel8PartTwo && kind <= kModel8PartNine;
}

// Source kinds (CQelSigSrc::GetType), as the slot and resolution replies
// report them.
inline constexpr int32_t kSrcNone = 0;
inline constexpr int32_t kSrcVideo = 1;
inline constexpr int32_t kSrcSdi = 2;
inline constexpr int32_t kSrcHdmi = 3;
inline constexpr int32_t kSrcIp = 7;
inline constexpr int32_t kSrcVideo5 = 8;
inline constexpr int32_t kSrcMultiView = 9;
inline constexpr int32_t kSrcVideo4 = 10;
inline constexpr int32_t kSrcCvbs = 11;
inline constexpr int32_t kSrc4K = 13;
inline constexpr int32_t kSrcVgaDvi = 101;

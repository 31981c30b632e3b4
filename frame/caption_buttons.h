#pragma once
// Which picture buttons the main window's caption carries, decided apart
// from the window: by the application type, the current processor's kind,
// its "more buttons" switch and its "OBM" value.
#include <string>
#include <vector>

namespace captionbtn {
inline constexpr int kWallSetup = 1;
inline constexpr int kNewPlan = 2;
inline constexpr int kSavePlan = 3;
inline constexpr int kSaveAll = 4;
inline constexpr int kExecute = 5;
inline constexpr int kZoomCanvas = 13;
inline constexpr int kGuideLinesOff = 14;
inline constexpr int kGuideLines16 = 19;
inline constexpr int kLogoPlace = 20;
inline constexpr int kInputOsd = 21;
inline constexpr int kScreenOpen = 22;
inline constexpr int kScreenClose = 23;
inline constexpr int kFreeze = 24;
inline constexpr int kUnfreeze = 25;
inline constexpr int kPlanBar = 26;
inline constexpr int kMoreSwitch = 27;
inline constexpr int kVideoManager = 28;
inline constexpr int kMatrixSwitch = 29;

inline constexpr char kMoreOpenPicture[] = "ctl_pro_select_open.png";
inline constexpr char kMoreClosePicture[] = "ctl_pro_select_close.png";
} // namespace captionbtn

struct CaptionButtonSpec {
    int id = 0;
    const char* tip = ""; // untranslated
    std::string picture;  // file name under the system folder's "res"
    bool operator==(const CaptionButtonSpec& other) const
    {
        return id == other.id && std::string(tip) == other.tip && picture == other.picture;
    }
};

// What the button set depends on; the switch reads as off and the kind as
// 0 without a current processor.
struct CaptionButtonContext {
    int appType = 1; // bit 0 of "MainFrm.AppType"
    bool hasProcessor = false;
    int kind = 0;
    bool moreOn = false;
    int obm = 0;
};

// The buttons in the order they are made.
std::vector<CaptionButtonSpec> CaptionButtonSet(const CaptionButtonContext& context);

// Every picture any button set can use, for the shipped data.
std::vector<std::string> AllCaptionButtonPictures();

#include "views/wall_view_core.h"

#include <algorithm>

#include "core/config.h"
#include "context/context.h"
#include "core/language_tr.h"
#include "model/processor_manager.h"
#include "platform/rect_math.h"

namespace {

// The wall keeps this far from the canvas's left and right edges, and from
// its top and bottom when it is fitted to the height.
constexpr int kWallInset = 20;
// The watch strip's distance from the canvas bottom, and the room its
// header takes before the first slot.
constexpr int kWatchStripOffset = 120;
constexpr int kWatchHeaderWidth = 100;
constexpr int kWatchSlotGap = 10;
constexpr int kWatchSlotMaxWidth = 200;

// Button geometry in the title bar.
constexpr int kCloseRightInset = 4;
constexpr int kMaxCellRightInset = 36;
constexpr int kMaxRightInset = 20;
constexpr int kSmallButtonSide = 11;

// A logo window's size in wall pixels.
constexpr int kLogoWidth = 256;
constexpr int kLogoHeight = 128;

constexpr const char* kKeyFitModule = "MulSView.FitModule";
constexpr const char* kKeyAutoExecute = "MulSView.AutoExecute";
constexpr const char* kKeyTransparent = "MulSView.Transparent";
// The defaults of the configuration's table, which loads them even when
// the settings file is missing.
constexpr bool kDefaultFitModule = true;
constexpr bool kDefaultAutoExecute = true;
constexpr bool kDefaultTransparent = true;

// value × numerator / denominator in doubles, truncated and saturated.
int64_t Scale(int64_t value, int64_t numerator, int64_t denominator)
{
    return TruncInt32(double(value) * double(numerator) / double(denominator));
}

bool IsOdd(int64_t v)
{
    return v % 2 != 0;
}

} // namespace

// ---- Progress notices ------------------------------------------------------

std::optional<QString> ProgressNotice::Report(int kind, int done, int total)
{
    if (kind != kKindExecute && kind != kKindStore)
        return std::nullopt;
    auto& last = lastShown_[size_t(kind - 1)];
    const platform::TimePoint now = platform::Now();
    if (done < total && last && now - *last < std::chrono::milliseconds(wallview::kProgressThrottleMs))
        return std::nullopt;
    last = now;
    if (kind == kKindExecute)
        return QStringLiteral("%1    %2 / %3")
            .arg(TranslateText(QStringLiteral("台标显示处理中，请稍等...")))
            .arg(done)
            .arg(total);
    return QStringLiteral("%1   %2")
        .arg(TranslateText(QStringLiteral("正保存至处理器，请稍等...")))
        .arg(int64_t(total) - done);
}

// ---- Plan and settings -----------------------------------------------------

WallViewCore::WallViewCore() = default;

WallViewCore::~WallViewCore()
{
    Unsubscribe();
}

void WallViewCore::SetPlan(const std::shared_ptr<CQelPlan>& plan)
{
    m_pPlan = plan;
    m_pActiveWnd = plan ? plan->GetSelectedWindow() : nullptr;
    // A selection made on the plan shown before means nothing now.
    DropDepartedWindows();
    RecalcLayout();
}

void WallViewCore::SelectPlanInContext() const
{
    CQelContext::SetSelPlan(m_pPlan ? m_pPlan->GetId() : 0);
}

void WallViewCore::AutoSendFixedWindow()
{
    if (m_bAutoExecute)
        ExecutePlan(kExecLogos, 0);
}

void WallViewCore::AutoExecutePlan()
{
    if (m_bAutoExecute)
        ExecutePlan(kExecLayout, 1);
}

void WallViewCore::LoadViewSettings()
{
    m_bFitModule = GetConfigBool(kKeyFitModule, kDefaultFitModule);
    m_bAutoExecute = GetConfigBool(kKeyAutoExecute, kDefaultAutoExecute);
    m_bTransparent = GetConfigBool(kKeyTransparent, kDefaultTransparent);
}

void WallViewCore::SaveViewSettings() const
{
    SetConfigBool(kKeyFitModule, m_bFitModule);
    SetConfigBool(kKeyAutoExecute, m_bAutoExecute);
    SetConfigBool(kKeyTransparent, m_bTransparent);
}

void WallViewCore::SetReferenceLineStyleProvider(std::function<int()> provider)
{
    m_referenceLineStyle = std::move(provider);
}

Size WallViewCore::ModuleGrid() const
{
    const Size counts = ModuleCounts();
    return Size{std::max(counts.cx, 1), std::max(counts.cy, 1)};
}

Size WallViewCore::ModuleCounts() const
{
    // Factors (rows, columns) per reference-line style 0 to 5; any other
    // style, or none, gives 2 x 2.
    static constexpr std::array<Size, 6> kFactors{Size{1, 1}, Size{2, 2}, Size{4, 2},
                                                  Size{3, 3}, Size{4, 3}, Size{4, 4}};
    const int style = m_referenceLineStyle ? m_referenceLineStyle() : -1;
    const Size factor = style >= 0 && style < int(kFactors.size()) ? kFactors[size_t(style)] : Size{2, 2};
    const int32_t rows = m_pPlan ? m_pPlan->GetRows() : 0;
    const int32_t cols = m_pPlan ? m_pPlan->GetCols() : 0;
    return Size{ClampInt32(int64_t(cols) * factor.cx), ClampInt32(int64_t(rows) * factor.cy)};
}

std::shared_ptr<CQelProcessor> WallViewCore::ViewProcessor() const
{
    if (m_nProcessorId < 0)
        return nullptr;
    return CQelContext::GetProMan()->FindById(uint32_t(m_nProcessorId));
}

std::shared_ptr<CQelProcessor> WallViewCore::SelectedProcessor()
{
    const int id = CQelContext::GetSelProcessorId();
    if (id < 0)
        return nullptr;
    return CQelContext::GetProMan()->FindById(uint32_t(id));
}

bool WallViewCore::IsSelected(const WindowPtr& window) const
{
    return std::find(m_vecSelection.begin(), m_vecSelection.end(), window) != m_vecSelection.end();
}

// ---- Layout ----------------------------------------------------------------

void WallViewCore::SetCanvasScaleValue(int scale)
{
    m_nCanvasScale = std::clamp(scale, wallview::kMinCanvasScale, wallview::kMaxCanvasScale);
}

void WallViewCore::RecalcLayout()
{
    const int64_t scale = m_nCanvasScale;
    m_rcCanvas =
        MakeRect(0, 0, std::max<int64_t>(m_szClient.cx, 0) * scale, std::max<int64_t>(m_szClient.cy, 0) * scale);
    const Rect& canvas = m_rcCanvas;

    m_rcWatchStrip = Rect{};
    int64_t wallBottom = canvas.bottom;
    if (m_pPlan && m_pPlan->GetType() == kPlanSizedGrid && !m_pPlan->GetWatchWindows().empty()) {
        m_rcWatchStrip = MakeRect(int64_t(canvas.left) + kWallInset, int64_t(canvas.bottom) - kWatchStripOffset,
                                  int64_t(canvas.right) - kWallInset, int64_t(canvas.bottom) - m_nTitleHeight);
        wallBottom = int64_t(m_rcWatchStrip.top) - m_nTitleHeight;
    }
    m_rcWallArea =
        MakeRect(int64_t(canvas.left) + kWallInset, canvas.top, int64_t(canvas.right) - kWallInset, wallBottom);
    m_rcWallView = m_rcWallArea;

    const Size pixels = m_pPlan ? m_pPlan->GetPixelSize() : Size{};
    const int64_t areaWidth = RectWidth(m_rcWallArea);
    if (pixels.cx > 0 && pixels.cy > 0 && areaWidth > 0) {
        const int64_t height = Scale(pixels.cy, areaWidth, pixels.cx);
        const int64_t room = wallBottom - canvas.top - height;
        if (room >= kWallInset) {
            const int64_t top = canvas.top + room / 2;
            m_rcWallArea = MakeRect(m_rcWallArea.left, top, m_rcWallArea.right, top + height);
        } else {
            const int64_t top = int64_t(canvas.top) + kWallInset;
            const int64_t bottom = wallBottom - kWallInset;
            const int64_t width = bottom > top ? Scale(bottom - top, pixels.cx, pixels.cy) : 0;
            const int64_t left = canvas.left + (RectWidth(canvas) - width) / 2;
            m_rcWallArea = MakeRect(left, top, left + width, bottom);
        }
        const Rect margin = m_pPlan->GetMargin();
        m_rcWallView = WallToViewRect(
            MakeRect(margin.left, margin.top, int64_t(pixels.cx) - margin.right, int64_t(pixels.cy) - margin.bottom));
    }
    LayoutWindowRects();
    LayoutWatchSlots();
    InvalidateView();
}

void WallViewCore::LayoutWatchSlots()
{
    m_vecWatchSlotRects.clear();
    if (!m_pPlan || m_pPlan->GetType() != kPlanSizedGrid)
        return;
    const int64_t n = int64_t(m_pPlan->GetWatchWindows().size());
    if (n <= 0)
        return;
    const Rect& strip = m_rcWatchStrip;
    // In unsigned arithmetic a strip too narrow for the gaps gives the
    // widest slot.
    const int64_t room = RectWidth(strip) - kWatchSlotGap * n - kWatchHeaderWidth;
    const int64_t width = room < 0 ? kWatchSlotMaxWidth : std::min<int64_t>(room / n, kWatchSlotMaxWidth);
    for (int64_t i = 0; i < n; ++i) {
        const int64_t left = strip.left + kWatchHeaderWidth + i * (width + kWatchSlotGap);
        m_vecWatchSlotRects.push_back(MakeRect(left, strip.top, left + width, strip.bottom));
    }
}

void WallViewCore::LayoutWindowRects()
{
    if (!m_pPlan)
        return;
    for (const auto& window : m_pPlan->GetWindows())
        window->rectView = WallToViewRect(window->rect);
}

Point WallViewCore::DeviceToCanvasPoint(Point pt) const
{
    return Point{ClampInt32(int64_t(pt.x) - m_ptViewOrg.x), ClampInt32(int64_t(pt.y) - m_ptViewOrg.y)};
}

Point WallViewCore::CanvasToDevicePoint(Point pt) const
{
    return Point{ClampInt32(int64_t(pt.x) + m_ptViewOrg.x), ClampInt32(int64_t(pt.y) + m_ptViewOrg.y)};
}

Rect WallViewCore::CanvasToDeviceRect(int l, int t, int r, int b) const
{
    return OffsetRect(Rect{l, t, r, b}, m_ptViewOrg.x, m_ptViewOrg.y);
}

// ---- Conversions -----------------------------------------------------------

Rect WallViewCore::WallToViewRect(const Rect& rc) const
{
    const Size wall = m_pPlan ? m_pPlan->GetPixelSize() : Size{};
    const Rect& a = m_rcWallArea;
    if (wall.cx <= 0 || wall.cy <= 0 || RectEmpty(a))
        return Rect{};
    const int64_t left = a.left + Scale(rc.left, RectWidth(a), wall.cx);
    const int64_t top = a.top + Scale(rc.top, RectHeight(a), wall.cy);
    return MakeRect(left, top, left + Scale(RectWidth(rc), RectWidth(a), wall.cx),
                    top + Scale(RectHeight(rc), RectHeight(a), wall.cy));
}

Point WallViewCore::WallToViewPoint(Point pt) const
{
    const Size wall = m_pPlan ? m_pPlan->GetPixelSize() : Size{};
    const Rect& a = m_rcWallArea;
    if (wall.cx <= 0 || wall.cy <= 0 || RectEmpty(a))
        return Point{};
    return Point{ClampInt32(a.left + Scale(pt.x, RectWidth(a), wall.cx)),
                 ClampInt32(a.top + Scale(pt.y, RectHeight(a), wall.cy))};
}

Rect WallViewCore::ViewToWallRect(const Rect& rc) const
{
    const Size wall = m_pPlan ? m_pPlan->GetPixelSize() : Size{};
    const Rect& a = m_rcWallArea;
    if (wall.cx <= 0 || wall.cy <= 0 || RectEmpty(a))
        return Rect{};
    const int64_t left = Scale(int64_t(rc.left) - a.left, wall.cx, RectWidth(a));
    const int64_t top = Scale(int64_t(rc.top) - a.top, wall.cy, RectHeight(a));
    return MakeRect(left, top, left + Scale(RectWidth(rc), wall.cx, RectWidth(a)),
                    top + Scale(RectHeight(rc), wall.cy, RectHeight(a)));
}

Point WallViewCore::ViewToWallPoint(Point pt) const
{
    const Size wall = m_pPlan ? m_pPlan->GetPixelSize() : Size{};
    const Rect& a = m_rcWallArea;
    if (wall.cx <= 0 || wall.cy <= 0 || RectEmpty(a))
        return Point{};
    return Point{ClampInt32(Scale(int64_t(pt.x) - a.left, wall.cx, RectWidth(a))),
                 ClampInt32(Scale(int64_t(pt.y) - a.top, wall.cy, RectHeight(a)))};
}

Rect WallViewCore::ViewToWallForResize(DragMode mode, const Rect& rc, const Rect& rcOldWall) const
{
    const Rect moved = ViewToWallRect(rc);
    Rect out = rcOldWall;
    if (mode == kDragTop || mode == kDragTopLeft || mode == kDragTopRight)
        out.top = moved.top;
    if (mode == kDragBottom || mode == kDragBottomLeft || mode == kDragBottomRight)
        out.bottom = moved.bottom;
    if (mode == kDragLeft || mode == kDragTopLeft || mode == kDragBottomLeft)
        out.left = moved.left;
    if (mode == kDragRight || mode == kDragTopRight || mode == kDragBottomRight)
        out.right = moved.right;
    return out;
}

// ---- Title-bar buttons -----------------------------------------------------

void WallViewCore::SetImageSizes(Size close, Size maxCell, Size maxScreen, Size lock)
{
    m_szCloseImage = close;
    m_szMaxCellImage = maxCell;
    m_szMaxScreenImage = maxScreen;
    m_szLockImage = lock;
}

namespace {

bool Loaded(const Size& image)
{
    return image.cx > 0 && image.cy > 0;
}

// The title bar's vertical centre.
int64_t TitleCentre(const Rect& rc, int titleHeight)
{
    return (int64_t(rc.top) + rc.top + titleHeight) / 2;
}

// An 11 x 11 button whose right edge is `inset` left of the title's right.
Rect SmallButton(const Rect& rc, int titleHeight, int inset)
{
    const int64_t right = int64_t(rc.right) - inset;
    const int64_t centre = TitleCentre(rc, titleHeight);
    return MakeRect(right - kSmallButtonSide, centre - 5, right, centre + 6);
}

} // namespace

Rect WallViewCore::GetCloseButtonRect(const Rect& rcWindow) const
{
    if (RectEmpty(rcWindow) || !Loaded(m_szCloseImage))
        return Rect{};
    const int64_t right = int64_t(rcWindow.right) - kCloseRightInset;
    const int64_t top = TitleCentre(rcWindow, m_nTitleHeight) - m_szCloseImage.cy / 2;
    return MakeRect(right - m_szCloseImage.cx / 2, top, right, top + m_szCloseImage.cy);
}

Rect WallViewCore::GetCloseButtonRect(const WindowPtr& window)
{
    return GetCloseButtonRect(GetWindowViewRect(window));
}

Rect WallViewCore::GetMaxCellButtonRect(const Rect& rcWindow) const
{
    if (RectEmpty(rcWindow) || !Loaded(m_szMaxCellImage))
        return Rect{};
    return SmallButton(rcWindow, m_nTitleHeight, kMaxCellRightInset);
}

Rect WallViewCore::GetMaxCellButtonRect(const WindowPtr& window)
{
    return GetMaxCellButtonRect(GetWindowViewRect(window));
}

Rect WallViewCore::GetMaxButtonRect(const Rect& rcWindow) const
{
    if (RectEmpty(rcWindow) || !Loaded(m_szMaxScreenImage))
        return Rect{};
    return SmallButton(rcWindow, m_nTitleHeight, kMaxRightInset);
}

Rect WallViewCore::GetMaxButtonRect(const WindowPtr& window)
{
    return GetMaxButtonRect(GetWindowViewRect(window));
}

// ---- Window rectangles -----------------------------------------------------

Rect WallViewCore::GetWindowViewRect(const WindowPtr& window)
{
    if (!window)
        return Rect{};
    if (RectEmpty(window->rectView))
        window->rectView = WallToViewRect(window->rect);
    return window->fullscreen ? m_rcWallArea : window->rectView;
}

Rect WallViewCore::GetWindowWallRect(const WindowPtr& window)
{
    if (!window)
        return Rect{};
    if (RectEmpty(window->rect)) {
        window->rect = ViewToWallRect(window->rectView);
        UpdateWindowGeometry(window);
    }
    if (window->fullscreen)
        return m_pPlan ? m_pPlan->GetPixelRect() : Rect{};
    return window->rect;
}

void WallViewCore::UpdateWindowGeometry(const WindowPtr& window)
{
    if (!window)
        return;
    if (window->sigsrc == kLogoSigSrc) {
        const Rect& r = window->rect;
        window->rect = MakeRect(r.left, r.top, int64_t(r.left) + kLogoWidth, int64_t(r.top) + kLogoHeight);
        window->rectView = WallToViewRect(window->rect);
        return;
    }
    // The kept rectangle, also of a full-screen window: the area such a
    // window covers must not replace the one it returns to.
    const Rect old = window->rect;
    Rect r = old;
    if (r.left > 0 && IsOdd(r.left))
        r.left -= 1;
    if (RectWidth(r) > 0 && IsOdd(RectWidth(r)))
        r.right -= 1;
    if (r == old)
        return;
    window->rect = r;
    if (m_pPlan && (RectWidth(r) != RectWidth(old) || RectHeight(r) != RectHeight(old)))
        m_pPlan->CheckWindowSourceCrop(window);
    window->rectView = WallToViewRect(r);
}

void WallViewCore::UpdateAllWindowGeometry()
{
    if (!m_pPlan)
        return;
    for (const auto& window : m_pPlan->GetWindows())
        UpdateWindowGeometry(window);
}

void WallViewCore::DropDepartedWindows()
{
    std::erase_if(m_vecSelection, [this](const WindowPtr& w) { return !InPlan(w); });
    if (m_pActiveWnd && !InPlan(m_pActiveWnd))
        m_pActiveWnd = nullptr;
}

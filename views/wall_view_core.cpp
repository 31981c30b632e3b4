#include "views/wall_view_core.h"

#include <algorithm>

#include "core/config.h"
#include "context/context.h"
#include "core/language_tr.h"
#include "model/processor_manager.h"
#include "platform/rect_math.h"

namespace {

constexpr const char* kKeyFitModule = "MulSView.FitModule";
constexpr const char* kKeyAutoExecute = "MulSView.AutoExecute";
constexpr const char* kKeyTransparent = "MulSView.Transparent";
// The defaults of the configuration's table, which loads them even when
// the settings file is missing.
constexpr bool kDefaultFitModule = true;
constexpr bool kDefaultAutoExecute = true;
constexpr bool kDefaultTransparent = true;

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

WallViewCore::WallViewCore()
    : m_geometry(std::make_unique<WallGeometry>(*this)), m_editing(std::make_unique<WallEditing>(*this)),
      m_commands(std::make_unique<WallCommands>(*this)), m_painting(std::make_unique<WallPainting>(*this))
{
}

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

// A menu or a dialog runs a nested event loop, whose events may replace the
// plan's windows: after one, a command uses a window it held only when this
// still finds it in the shown plan.
bool WallViewCore::InPlan(const WindowPtr& window) const
{
    if (!window || !m_pPlan)
        return false;
    const auto windows = m_pPlan->GetWindows();
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

void WallViewCore::RecalcLayout()
{
    m_geometry->RecalcLayout();
}

void WallViewCore::DropDepartedWindows()
{
    std::erase_if(m_vecSelection, [this](const WindowPtr& w) { return !InPlan(w); });
    if (m_pActiveWnd && !InPlan(m_pActiveWnd))
        m_pActiveWnd = nullptr;
}

// The model's events as the shown wall view follows them. The handlers run
// on the UI thread, delivered by the main frame's event pump.
#include "views/wall_view_core.h"

#include "model/processor.h"

void WallViewCore::Subscribe()
{
    Unsubscribe();
    m_conn[0] = CQelEvtSignals::ConnectSigSrcRename([this](const auto& e) { OnSigSrcRename(e); });
    m_conn[1] = CQelEvtSignals::ConnectSigSrcJoinChanged([this](const auto& e) { OnSigSrcJoinChanged(e); });
    m_conn[2] = CQelEvtSignals::ConnectSigSrcResolutionChanged([this](const auto& e) { OnSigSrcResolutionChanged(e); });
    m_conn[3] = CQelEvtSignals::ConnectPlanWindow([this](const auto& e) { OnPlanWindow(e); });
    m_conn[4] = CQelEvtSignals::ConnectPlanHisAdded([this](const auto& e) { OnPlanHisAdded(e); });
    m_conn[5] = CQelEvtSignals::ConnectPlanHisRecovered([this](const auto& e) { OnPlanHisRecovered(e); });
}

void WallViewCore::Unsubscribe()
{
    for (auto& connection : m_conn) {
        connection.disconnect();
        connection = Connection();
    }
}

int WallViewCore::ConnectionCount() const
{
    int count = 0;
    for (const auto& connection : m_conn)
        count += connection.connected() ? 1 : 0;
    return count;
}

void WallViewCore::OnSigSrcRename(const CSigSrcRenameEvent& event)
{
    if (event.processorId == m_nProcessorId)
        InvalidateView();
}

void WallViewCore::OnSigSrcJoinChanged(const CSigSrcJoinChangedEvent& event)
{
    if (event.processorId != m_nProcessorId || !m_pPlan)
        return;
    m_pPlan->PlaceWindows();
    InvalidateView();
}

void WallViewCore::OnSigSrcResolutionChanged(const CSigSrcResolutionChangedEvent& event)
{
    if (event.processorId != m_nProcessorId || !m_pPlan)
        return;
    const auto processor = ViewProcessor();
    if (!processor || event.sourceId < 0 || !processor->GetSigSrc(uint32_t(event.sourceId)))
        return;
    for (const auto& window : m_pPlan->GetWindows())
        if (window->sigsrc == event.sourceId)
            geometry().UpdateWindowGeometry(window);
    m_pPlan->PlaceWindows();
    InvalidateView();
}

void WallViewCore::OnPlanWindow(const CPlanWindowEvent& event)
{
    if (!m_pPlan || event.planId != m_pPlan->GetId())
        return;
    // The event's window number is the layer at posting time; the layers
    // may have moved since, so the plan's own selection decides.
    m_pActiveWnd = m_pPlan->GetSelectedWindow();
    m_pPlan->PlaceWindows();
    InvalidateView();
}

void WallViewCore::OnPlanHisAdded(const CPlanHisAddedEvent&)
{
    if (!m_pPlan)
        return;
    m_pPlan->PlaceWindows();
    InvalidateView();
}

void WallViewCore::OnPlanHisRecovered(const CPlanHisRecoveredEvent&)
{
    if (!m_pPlan)
        return;
    m_pPlan->PlaceWindows();
    // The restored windows are new records, laid out when they were
    // recorded; the ones they replace leave the selection.
    geometry().LayoutWindowRects();
    m_pActiveWnd = m_pPlan->GetSelectedWindow();
    DropDepartedWindows();
    InvalidateView();
    if (m_bAutoExecute)
        ExecutePlan(kExecLayout, 1);
}

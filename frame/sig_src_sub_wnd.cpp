#include "frame/sig_src_sub_wnd.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "context/context.h"
#include "core/event_signals.h"
#include "core/events.h"
#include "dialogs/dialog_support.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/edid_dlg.h"
#include "dialogs/init_processor_dlg.h"
#include "dialogs/led_wall_wizard.h"
#include "dialogs/link_settings.h"
#include "dialogs/name_dlg.h"
#include "dialogs/obbk_color_dlg.h"
#include "dialogs/password_dlg.h"
#include "dialogs/preset_slot_dlg.h"
#include "dialogs/pro_datetime_dlg.h"
#include "dialogs/progress_dlg.h"
#include "dialogs/sig_src_dlg.h"
#include "dialogs/test_output_dlg.h"
#include "frame/command_ids.h"
#include "frame/main_frame.h"
#include "model/processor.h"
#include "model/processor_jobs.h"
#include "model/processor_manager.h"
#include "model/processor_requests.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "platform/ui/modal.h"
#include "platform/ui/post_to_ui.h"
#include "uikit/ui_resource_cache.h"

namespace {

constexpr char kTypeReplyPrefix[] = "GP TYPE";
constexpr char kTypeQuery[] = "GP TYPE 0\r\n";
// Where the progress window shows, from the main window's top-left corner.
constexpr QPoint kProgressOffset(277, 98);
constexpr QSize kProgressSize(700, 50);
constexpr int kBoxSize = 10;
constexpr int kBoxLeft = 10;
constexpr int kBoxTop = 6;
constexpr int kTextGap = 4;
constexpr ui::ColorRef kSelectedBack = ui::rgb(0x33, 0x99, 0xFF);
constexpr ui::ColorRef kJoinedText = ui::rgb(0, 0xFF, 0);
constexpr ui::ColorRef kUnjoinedText = ui::rgb(0xFF, 0, 0);
constexpr char kResetAsk[] = "您确定要对处理器进行复位操作吗？";
constexpr char kResetDone[] = "处理器复位完毕！";
constexpr char kResetFailed[] = "处理器复位失败，请重试!";

std::shared_ptr<CQelProcessor> ProcessorById(uint32_t id)
{
    return CQelContext::GetProMan()->FindById(id);
}

int Level(const QTreeWidgetItem* item)
{
    int level = 0;
    for (auto* p = item->parent(); p; p = p->parent())
        ++level;
    return level;
}

} // namespace

// ---- CSigSrcTreeCtrl

CSigSrcTreeCtrl::CSigSrcTreeCtrl(CUiSigSrcSubWnd& page) : QTreeWidget(&page), page_(page)
{
    setObjectName(QString::number(CUiSigSrcSubWnd::kTreeId));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setIndentation(kLevelIndent);
    setUniformRowHeights(true);
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFont(GetUiFont12());
    // Right clicks come as plain mouse events, handled on release.
    setContextMenuPolicy(Qt::PreventContextMenu);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, Qt::white);
    setPalette(palette);
}

void CSigSrcTreeCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (QTreeWidgetItem* item = itemFromIndex(index))
        page_.DrawTreeItem(*painter, item, QRect(0, option.rect.top(), viewport()->width(), option.rect.height()));
}

void CSigSrcTreeCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void CSigSrcTreeCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        emit rightClicked(event->globalPosition().toPoint());
        return;
    }
    QTreeWidget::mouseReleaseEvent(event);
}

// ---- CUiSigSrcSubWnd

CUiSigSrcSubWnd::CUiSigSrcSubWnd(QWidget* parent) : CUiCtrlBarSubWnd(parent)
{
    receiver_ = CReceiverHandle<IResetProgress>::Make(this);
    tree_ = new CSigSrcTreeCtrl(*this);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { OnTreeSelChanged(); });
    connect(tree_, &CSigSrcTreeCtrl::rightClicked, this, &CUiSigSrcSubWnd::OnTreeRClick);
    RebuildTree();

    connections_.emplace_back(CQelEvtSignals::ConnectGetProType([this](const auto& e) { OnGetProType(e); }));
    connections_.emplace_back(CQelEvtSignals::ConnectNetConnect([this](const auto& e) { OnNetConnect(e); }));
    connections_.emplace_back(CQelEvtSignals::ConnectSigSrcAdded(
        [this](const CSigSrcAddedEvent& e) { OnSigSrcAdded(e.processorId, e.sourceId); }));
    connections_.emplace_back(CQelEvtSignals::ConnectSigSrcRemoved(
        [this](const CSigSrcRemovedEvent& e) { OnSigSrcRemoved(e.processorId, e.sourceId); }));
    connections_.emplace_back(CQelEvtSignals::ConnectSigSrcUpdate(
        [this](const CSigSrcUpdateEvent& e) { UpdateEntriesOf(e.processorId, e.sourceId, false, false); }));
    connections_.emplace_back(CQelEvtSignals::ConnectSigSrcJoinChanged(
        [this](const CSigSrcJoinChangedEvent& e) { UpdateEntriesOf(e.processorId, e.sourceId, true, false); }));
    connections_.emplace_back(CQelEvtSignals::ConnectSigSrcResolutionChanged(
        [this](const CSigSrcResolutionChangedEvent& e) { UpdateEntriesOf(e.processorId, e.sourceId, false, true); }));
    connections_.emplace_back(CQelEvtSignals::ConnectSigSrcChildChanged(
        [this](const CSigSrcChildChangedEvent& e) { UpdateEntriesOf(e.processorId, e.sourceId, false, true); }));

    progress_ = new CDlgProgress(this);
    progress_->hide();
}

CUiSigSrcSubWnd::~CUiSigSrcSubWnd()
{
    // A report under way finishes first; none comes after.
    receiver_->Revoke();
    connections_.clear();
    // The tree goes while the node table it reports to still stands.
    tree_->blockSignals(true);
    delete tree_;
}

void CUiSigSrcSubWnd::RecalcLayout()
{
    CUiCtrlBarSubWnd::RecalcLayout();
    const Rect& r = InnerRect();
    tree_->setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// ---- Building the tree

QTreeWidgetItem* CUiSigSrcSubWnd::AddNode(QTreeWidgetItem* parent, int index, const QString& text,
                                          const SigSrcNodeInfo& info)
{
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setSizeHint(0, QSize(0, CSigSrcTreeCtrl::kRowHeight));
    if (!parent)
        tree_->addTopLevelItem(item);
    else if (index < 0)
        parent->addChild(item);
    else
        parent->insertChild(index, item);
    nodes_[item] = info;
    return item;
}

void CUiSigSrcSubWnd::AddInputNode(QTreeWidgetItem* processorNode, int index, const CQelProcessor& processor,
                                   const CQelSigSrc& source)
{
    const uint32_t proId = processor.GetId();
    QTreeWidgetItem* input =
        AddNode(processorNode, index, QString(), {kNodeInput, proId, static_cast<int32_t>(source.GetId())});
    for (const auto& child : source.GetChildren())
        AddNode(input, -1, QString::fromStdString(child->GetName()),
                {kNodeChild, proId, static_cast<int32_t>(child->GetId())});
    UpdateSourceText(input);
}

void CUiSigSrcSubWnd::RebuildTree()
{
    const QSignalBlocker blocker(tree_);
    tree_->clear();
    nodes_.clear();
    QTreeWidgetItem* select = nullptr;
    for (const auto& processor : CQelContext::GetProMan()->GetProcessors()) {
        QTreeWidgetItem* node = AddNode(nullptr, -1, ProcessorNodeText(*processor, LinkStatus::Disconnected),
                                        {kNodeProcessor, processor->GetId(), -1});
        for (const auto& source : processor->GetSigSrcs())
            AddInputNode(node, -1, *processor, *source);
        node->setExpanded(true);
        if (node->childCount() > 0)
            select = node->child(0);
    }
    if (select) {
        tree_->setCurrentItem(select);
        OnTreeSelChanged();
    }
}

void CUiSigSrcSubWnd::RemoveNode(QTreeWidgetItem* item)
{
    std::vector<QTreeWidgetItem*> stack{item};
    while (!stack.empty()) {
        QTreeWidgetItem* node = stack.back();
        stack.pop_back();
        nodes_.erase(node);
        for (int i = 0; i < node->childCount(); ++i)
            stack.push_back(node->child(i));
    }
    delete item;
}

const SigSrcNodeInfo* CUiSigSrcSubWnd::FindNodeInfo(QTreeWidgetItem* item) const
{
    const auto it = nodes_.find(item);
    return it == nodes_.end() ? nullptr : &it->second;
}

QTreeWidgetItem* CUiSigSrcSubWnd::FindProcessorNode(uint32_t processorId) const
{
    for (const auto& [item, info] : nodes_)
        if (info.kind == kNodeProcessor && info.proId == processorId)
            return item;
    return nullptr;
}

QTreeWidgetItem* CUiSigSrcSubWnd::FindInputNode(uint32_t processorId, int32_t sourceId) const
{
    for (const auto& [item, info] : nodes_)
        if (info.kind == kNodeInput && info.proId == processorId && info.id == sourceId)
            return item;
    return nullptr;
}

void CUiSigSrcSubWnd::UpdateSourceText(QTreeWidgetItem* item)
{
    const SigSrcNodeInfo* info = FindNodeInfo(item);
    if (!info)
        return;
    if (info->kind == kNodeChild) {
        if (item->parent() && FindNodeInfo(item->parent()))
            UpdateSourceText(item->parent());
        return;
    }
    if (info->kind != kNodeInput)
        return;
    const auto processor = ProcessorById(info->proId);
    if (!processor)
        return;
    if (const auto text = InputNodeText(*processor, uint32_t(info->id)))
        item->setText(0, *text);
    // The colour follows the source's signal, not the text: an unchanged
    // text repaints nothing by itself.
    tree_->viewport()->update(tree_->visualItemRect(item));
}

void CUiSigSrcSubWnd::SetProcessorStatus(const CQelProcessor& processor, LinkStatus status)
{
    if (QTreeWidgetItem* node = FindProcessorNode(processor.GetId()))
        node->setText(0, ProcessorNodeText(processor, status));
}

// ---- Selection and events

void CUiSigSrcSubWnd::OnTreeSelChanged()
{
    const SigSrcNodeInfo* info = FindNodeInfo(tree_->currentItem());
    if (!info)
        return;
    CQelContext::SetSelSigSrc(int(info->proId), info->kind == kNodeInput ? info->id : -1);
}

void CUiSigSrcSubWnd::OnNetConnect(const CNetConnectEvent& event)
{
    const auto processor = CQelContext::GetProMan()->FindByChannel(event.channelId);
    if (!processor)
        return;
    switch (event.state) {
    case CNetConnectEvent::kConnecting: SetProcessorStatus(*processor, LinkStatus::Connecting); break;
    case CNetConnectEvent::kConnected:
        processor->QueueCommand(kTypeQuery);
        SetProcessorStatus(*processor, LinkStatus::Connected);
        break;
    case CNetConnectEvent::kClosed: SetProcessorStatus(*processor, LinkStatus::Disconnected); break;
    default: break;
    }
    for (const auto& entry : std::vector(nodes_.begin(), nodes_.end()))
        UpdateSourceText(entry.first);
}

void CUiSigSrcSubWnd::OnGetProType(const CGetProTypeEvent& event)
{
    const auto processor = ProcessorById(uint32_t(event.processorId));
    if (!processor)
        return;
    if (processor->settings().GetTypeReplyText().starts_with(kTypeReplyPrefix)) {
        QueueTypeFollowUp(*processor);
        // A processor of another kind than the file said: the inputs shown
        // are not its own.
        if (processor->settings().IsModified()) {
            for (const auto& [item, info] : std::vector(nodes_.begin(), nodes_.end()))
                if (info.kind == kNodeInput && info.proId == processor->GetId())
                    processor->RemoveSigSrc(uint32_t(info.id));
            processor->settings().SetModified(false);
        }
    }
    SetProcessorStatus(*processor, LinkStatus::Connected);
}

void CUiSigSrcSubWnd::OnSigSrcAdded(int32_t processorId, int32_t sourceId)
{
    QTreeWidgetItem* node = FindProcessorNode(uint32_t(processorId));
    const auto processor = ProcessorById(uint32_t(processorId));
    const auto source = processor ? processor->GetSigSrc(uint32_t(sourceId)) : nullptr;
    if (!node || !source)
        return;
    std::vector<int32_t> siblings;
    for (int i = 0; i < node->childCount(); ++i) {
        const SigSrcNodeInfo* info = FindNodeInfo(node->child(i));
        siblings.push_back(info && info->kind == kNodeInput ? info->id : INT32_MAX);
    }
    const auto after = InsertAfter(siblings, sourceId);
    AddInputNode(node, after ? int(*after) + 1 : 0, *processor, *source);
    node->setExpanded(true);
}

void CUiSigSrcSubWnd::OnSigSrcRemoved(int32_t processorId, int32_t sourceId)
{
    if (QTreeWidgetItem* item = FindInputNode(uint32_t(processorId), sourceId))
        RemoveNode(item);
}

void CUiSigSrcSubWnd::UpdateEntriesOf(int32_t processorId, int32_t id, bool withChildren, bool all)
{
    std::vector<QTreeWidgetItem*> matches;
    for (const auto& [item, info] : nodes_) {
        const bool kindMatches = info.kind == kNodeInput || (withChildren && info.kind == kNodeChild);
        if (kindMatches && info.proId == uint32_t(processorId) && info.id == id) {
            matches.push_back(item);
            if (!all)
                break;
        }
    }
    for (QTreeWidgetItem* item : matches)
        UpdateSourceText(item);
}

// ---- Drawing

void CUiSigSrcSubWnd::DrawTreeItem(QPainter& p, QTreeWidgetItem* item, const QRect& row) const
{
    const SigSrcNodeInfo* info = FindNodeInfo(item);
    const int level = Level(item);
    const QRect box(row.left() + CSigSrcTreeCtrl::kLevelIndent * level + kBoxLeft, row.top() + kBoxTop, kBoxSize,
                    kBoxSize);
    p.fillRect(row, ui::toQColor(item->isSelected() ? kSelectedBack : ui::rgb(255, 255, 255)));
    if (item->childCount() > 0) {
        p.fillRect(box, Qt::white);
        p.setPen(QPen(Qt::black, 1));
        const int midY = box.top() + kBoxSize / 2;
        const int midX = box.left() + kBoxSize / 2;
        p.drawLine(box.left(), midY, box.right(), midY);
        if (!item->isExpanded())
            p.drawLine(midX, box.top(), midX, box.bottom());
    }
    if (!info)
        return;
    const auto processor = ProcessorById(info->proId);
    if (!processor)
        return;
    ui::ColorRef colour = ui::rgb(0, 0, 0);
    if (level > 0) {
        const auto source = processor->GetSigSrc(uint32_t(info->id));
        colour = source && source->IsJoined() ? kJoinedText : kUnjoinedText;
    }
    p.setPen(ui::toQColor(colour));
    p.setFont(GetUiFont12());
    const QRect text(box.right() + 1 + kTextGap, row.top(), row.right() - box.right() - kTextGap, row.height());
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, item->text(0));
}

// ---- Menus

QWidget* CUiSigSrcSubWnd::MainFrame() const
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (qobject_cast<CMainFrame*>(w))
            return w;
    return window();
}

bool CUiSigSrcSubWnd::FrameCommand(int id) const
{
    auto* frame = qobject_cast<CMainFrame*>(MainFrame());
    return frame && frame->OnCommand(id);
}

void CUiSigSrcSubWnd::OnTreeRClick(const QPoint& global)
{
    QTreeWidgetItem* item = tree_->itemAt(tree_->viewport()->mapFromGlobal(global));
    if (!item)
        return;
    tree_->setFocus();
    tree_->setCurrentItem(item);
    const SigSrcNodeInfo* found = FindNodeInfo(item);
    if (!found)
        return;
    // Copies: the node may go while a dialog of the menu is open.
    const SigSrcNodeInfo info = *found;
    const auto processor = ProcessorById(info.proId);
    if (!processor)
        return;
    QPointer<CUiSigSrcSubWnd> self(this);
    switch (info.kind) {
    case kNodeProcessor: {
        const int chosen = ui::popupMenu(this, ProcessorMenu(*processor, CMainFrame::GetAppType()), global);
        if (self && chosen)
            OnProcessorMenu(chosen, info);
        break;
    }
    case kNodeInput: {
        const auto source = processor->GetSigSrc(uint32_t(info.id));
        if (!source)
            return;
        const int chosen = ui::popupMenu(this, InputMenu(*processor, *source, CMainFrame::GetAppType()), global);
        if (self && chosen)
            OnInputMenu(chosen, info);
        break;
    }
    default: {
        const SigSrcNodeInfo* parent = item->parent() ? FindNodeInfo(item->parent()) : nullptr;
        const std::optional<SigSrcNodeInfo> parentInfo = parent ? std::optional(*parent) : std::nullopt;
        const int chosen = ui::popupMenu(this, ChildMenu(), global);
        if (self && chosen == sigsrcmenu::kSwitchChild && parentInfo)
            OnChildMenu(info, *parentInfo);
        break;
    }
    }
}

void CUiSigSrcSubWnd::OnProcessorMenu(int chosen, const SigSrcNodeInfo& info)
{
    using namespace sigsrcmenu;
    const auto processor = ProcessorById(info.proId);
    if (!processor)
        return;
    switch (chosen) {
    case kTcpConnect: FrameCommand(cmd::kConnectTcp); break;
    case kSerialConnect: FrameCommand(cmd::kConnectSerial); break;
    case kDisconnect: FrameCommand(cmd::kDisconnect); break;
    case kSettings: FrameCommand(cmd::kSetProcessor); break;
    case kInitialise:
        if (AskOperationPassword(this))
            RunInitProcessorDlg(this, processor);
        break;
    case kWallSetup: RunWallSetup(this, processor); break;
    case kReset: ResetProcessor(processor); break;
    case kClock: SetProcessorClock(); break;
    case kTestOutput: RunTestOutput(this); break;
    case kSavedPlans: {
        C4H1ShortcutKeysReadPlanDlg dialog(this);
        dialog.DoModal();
        break;
    }
    case kBoardColour: {
        CDlgSetOBBKColor dialog(this);
        dialog.DoModal();
        break;
    }
    default: break;
    }
}

void CUiSigSrcSubWnd::OnInputMenu(int chosen, const SigSrcNodeInfo& info)
{
    const auto processor = ProcessorById(info.proId);
    if (!processor || !processor->GetSigSrc(uint32_t(info.id)))
        return;
    switch (chosen) {
    case sigsrcmenu::kRename: RenameSource(processor, info); break;
    case sigsrcmenu::kEdid: RunSetEdid(this, processor, uint32_t(info.id)); break;
    case sigsrcmenu::kInputParameters: RunSetSigSrc(this, processor->GetSigSrc(uint32_t(info.id))); break;
    default: break;
    }
}

void CUiSigSrcSubWnd::OnChildMenu(const SigSrcNodeInfo& info, const SigSrcNodeInfo& parentInfo)
{
    const auto processor = ProcessorById(info.proId);
    const auto source = processor ? processor->GetSigSrc(uint32_t(parentInfo.id)) : nullptr;
    const auto child = source ? source->GetChild(uint32_t(info.id)) : nullptr;
    if (!child)
        return;
    source->SelectChild(child->GetId());
    if (QTreeWidgetItem* node = FindInputNode(parentInfo.proId, parentInfo.id))
        UpdateSourceText(node);
    processor->requests().SetInputRouting(source->GetId(), int(child->GetRoutingId()));
    processor->jobs().StatusQueryRequest();
}

void CUiSigSrcSubWnd::RenameSource(const std::shared_ptr<CQelProcessor>& processor, const SigSrcNodeInfo& info)
{
    const auto source = processor->GetSigSrc(uint32_t(info.id));
    if (!source)
        return;
    CNameDlg dialog(this);
    dialog.m_strCaption = QStringLiteral("重新命名信号源");
    dialog.m_strPrompt = Tr("信号源名称") + QStringLiteral(":");
    dialog.m_strName = QString::fromStdString(source->GetName());
    dialog.m_strMark = QString::number(SourceOrdinal(source->GetId()));
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    processor->SaveSigSrcsToPro(dialog.GetName().toStdString(), source->GetId());
    if (QTreeWidgetItem* node = FindInputNode(info.proId, info.id))
        UpdateSourceText(node);
}

void CUiSigSrcSubWnd::SetProcessorClock()
{
    CProDatetimeSettingDlg dialog(this);
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    const auto processor = CurrentProcessor();
    if (!processor)
        return;
    if (!processor->IsConnected()) {
        ui::inform(this, Tr(dlgtext::kNotConnected));
        return;
    }
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    dialog.GetSelectedTime(year, month, day, hour, minute, second);
    processor->jobs().SetClockRequest(year, month, day, hour, minute, second);
}

// ---- Reset

void CUiSigSrcSubWnd::ResetProcessor(const std::shared_ptr<CQelProcessor>& processor)
{
    if (!AskOperationPassword(this))
        return;
    if (!processor->IsConnected()) {
        ui::inform(this, Tr(dlgtext::kNotConnected));
        return;
    }
    if (!ui::askYesNo(this, Tr(kResetAsk)))
        return;
    progress_->SetCounters(0, 0, 0, 0);
    const QPoint origin = MainFrame()->frameGeometry().topLeft() + kProgressOffset;
    progress_->setGeometry(QRect(origin, kProgressSize));
    progress_->show();
    progress_->raise();
    // A busy processor refuses the job, and then no report would ever
    // close the window.
    if (processor->jobs().StartReset(receiver_) != 0) {
        progress_->hide();
        ui::inform(this, Tr(kResetFailed));
    }
}

void CUiSigSrcSubWnd::OnProgress(int step, int steps, int sub, int subs)
{
    // The values travel with the call: the job thread shares nothing with
    // the page.
    ui::postToUi(this, [this, step, steps, sub, subs] { OnResetFinished(step, steps, sub, subs); });
}

void CUiSigSrcSubWnd::OnResetFinished(int position, int total, int a, int b)
{
    const ResetReport report = ClassifyResetReport(position, total);
    if (report == ResetReport::Progress) {
        progress_->SetCounters(position, total, a, b);
        progress_->update();
        return;
    }
    if (const auto processor = CurrentProcessor())
        ReopenLink(*processor);
    progress_->hide();
    ui::inform(this, Tr(report == ResetReport::Done ? kResetDone : kResetFailed));
}

#include "frame/sig_src_tree_core.h"

#include "core/delay.h"
#include "corlane/fstr.h"
#include "dialogs/dialog_support.h"
#include "model/kinds.h"
#include "model/processor.h"
#include "model/processor_records.h"
#include "model/processor_requests.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"

using qz::vok::fstr_format;

namespace {

constexpr int kSerialLink = 2;
constexpr int kObmHidesInputParameters = 1;
// The two outputs of the side-by-side model, and the pause between them.
constexpr uint32_t kSideOutputs[] = {1400, 1401};
constexpr uint32_t kSideOutputGapMs = 500;
constexpr char kReadSlotsAll[] = "GP READ_SLOT_MESSAGE 0xFF\r\n";

QString StatusText(LinkStatus status)
{
    switch (status) {
    case LinkStatus::Connecting: return Tr("正在连接");
    case LinkStatus::Connected: return Tr("已经连接");
    default: return Tr("未连接");
    }
}

bool IsLedFamily(int32_t kind)
{
    return kind == kModelLed || IsEightPartModel(kind);
}

// The wall set-up item: models whose wall the editor lays out.
bool HasWallSetup(int32_t kind)
{
    return kind == kModel16x16 || kind == kModel32x32 || IsLedFamily(kind);
}

void Add(ui::MenuSpec& menu, int id, const char* caption)
{
    menu.items.push_back(ui::MenuSpec::item(id, Tr(caption)));
}

void AddSeparator(ui::MenuSpec& menu)
{
    menu.items.push_back(ui::MenuSpec::separatorItem());
}

// The side-by-side model times each of its two outputs by the resolution
// the output itself has.
void QueueSideOutputTiming(CQelProcessor& processor)
{
    for (size_t i = 0; i < std::size(kSideOutputs); ++i) {
        if (i > 0)
            Delay(kSideOutputGapMs);
        const auto output = processor.GetSigOut(kSideOutputs[i]);
        if (!output)
            continue;
        const uint32_t id = processor.records().FindResolutionId(output->GetResolution());
        if (id != kNoId && processor.records().HasResolutionId(id))
            processor.QueueCommand(fstr_format("GP SOT 4 %d %d\r\n", int(i), int(id)));
    }
    processor.QueueCommand(kReadSlotsAll);
}

} // namespace

QString ProcessorNodeText(const CQelProcessor& processor, LinkStatus status)
{
    QString state = StatusText(status);
    if (status == LinkStatus::Connected && processor.settings().GetConnection().type == kSerialLink)
        state += QString::fromStdString(processor.settings().GetSerialDevice());
    return QStringLiteral("%1(%2)").arg(QString::fromStdString(processor.GetName()), state);
}

std::optional<QString> InputNodeText(const CQelProcessor& processor, uint32_t sourceId)
{
    const auto source = processor.GetSigSrc(sourceId);
    if (!source)
        return std::nullopt;
    const Resolution size = source->GetResolution();
    const QString name = QString::fromStdString(source->GetName());
    const QString pixels = QStringLiteral("(%1x%2)").arg(size.width).arg(size.height);
    if (const auto child = source->GetChild(source->GetCurChildId()))
        return QStringLiteral("%1(%2)").arg(name, QString::fromStdString(child->GetName())) + pixels;
    return name + pixels;
}

bool ModelHasReset(int32_t kind)
{
    return IsLedFamily(kind);
}

ui::MenuSpec ProcessorMenu(const CQelProcessor& processor, int appType)
{
    using namespace sigsrcmenu;
    const int32_t kind = processor.GetKind();
    ui::MenuSpec menu;
    if (processor.IsConnected()) {
        Add(menu, kDisconnect, "断开连接");
        if (kind == kModelSourceScalers)
            Add(menu, kInitialise, "初始化处理器");
    } else {
        Add(menu, kTcpConnect, "Tcp连接");
        Add(menu, kSerialConnect, "串口连接");
    }
    AddSeparator(menu);
    Add(menu, kSettings, "设置");
    if ((appType & 1) && HasWallSetup(kind)) {
        AddSeparator(menu);
        Add(menu, kWallSetup, "设置屏幕墙");
    }
    if (IsLedFamily(kind)) {
        AddSeparator(menu);
        Add(menu, kTestOutput, "测试输出端口");
        AddSeparator(menu);
        Add(menu, kReset, "处理器参数复位");
    }
    Add(menu, kClock, "更改处理器日期和时间");
    Add(menu, kSavedPlans, "显示处理器保存方案");
    Add(menu, kBoardColour, "设置输出板底色");
    return menu;
}

ui::MenuSpec InputMenu(const CQelProcessor& processor, const CQelSigSrc& source, int appType)
{
    using namespace sigsrcmenu;
    ui::MenuSpec menu;
    Add(menu, kRename, "重命名");
    if (source.GetEdid() != kNoId && processor.IsConnected())
        Add(menu, kEdid, "设置EDID");
    if (IsLedFamily(processor.GetKind()) && (appType & 1) && processor.settings().GetObm() != kObmHidesInputParameters)
        Add(menu, kInputParameters, "设置输入信号源参数");
    return menu;
}

ui::MenuSpec ChildMenu()
{
    ui::MenuSpec menu;
    Add(menu, sigsrcmenu::kSwitchChild, "切换");
    return menu;
}

int SourceOrdinal(uint32_t sourceId)
{
    return int(sourceId / 100 * 4 + sourceId % 100 + 1);
}

std::optional<size_t> InsertAfter(const std::vector<int32_t>& siblingIds, int32_t newId)
{
    std::optional<size_t> after;
    for (size_t i = 0; i < siblingIds.size(); ++i) {
        if (siblingIds[i] < newId && (!after || siblingIds[i] >= siblingIds[*after]))
            after = i;
    }
    return after;
}

void QueueTypeFollowUp(CQelProcessor& processor)
{
    const uint32_t resolutionId = processor.records().GetOutputResolutionId();
    const int32_t kind = processor.GetKind();
    // The side-by-side model names its outputs where the link's own slot
    // discovery takes the first two it holds.
    if (kind == kModel16Part) {
        if (resolutionId != kNoId && processor.records().HasResolutionId(resolutionId))
            QueueSideOutputTiming(processor);
        return;
    }
    processor.requests().RequestSlotDiscovery();
}

ResetReport ClassifyResetReport(int position, int total)
{
    if (position < total)
        return ResetReport::Progress;
    return position == total ? ResetReport::Done : ResetReport::Failed;
}

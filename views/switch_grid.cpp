#include "views/switch_grid.h"

#include <map>
#include <string>

#include "core/language_tr.h"
#include "model/processor.h"
#include "model/sig_out.h"
#include "model/sig_src.h"
#include "plan/plan.h"
#include "uikit/sheet_core.h"

namespace {

void MarkCell(SheetCore& sheet, int row, int column, bool routed)
{
    sheet.SetItemText(row, column, routed ? QString::fromUtf8(switchgrid::kMark) : QString());
    sheet.SetCellBkColor(row, column, routed ? switchgrid::kRoutedCell : switchgrid::kPlainCell);
}

} // namespace

BoardPort OutputBoardPort(int outputId, int modelCode)
{
    int base = 100;
    if (modelCode == 7 || modelCode == 9)
        base = 101;
    else if (modelCode == 8 || modelCode == 10)
        base = 108;
    return BoardPort{outputId / 100 - base, outputId % 100 + 1};
}

QString OutputColumnTitle(int outputId, int modelCode)
{
    const BoardPort bp = OutputBoardPort(outputId, modelCode);
    return Tr(switchgrid::kOutputTitle) + QStringLiteral("%1_%2").arg(bp.board).arg(bp.port);
}

void BuildSwitchGrid(SheetCore& sheet, const CQelProcessor& processor)
{
    const int name = sheet.InsertColumn(0, QString(), kColumnFrozen, 0, switchgrid::kNameColumnWidth);
    sheet.SetColumnValue(name, -1);
    const int model = processor.GetKind();
    for (const auto& output : processor.GetSigOuts()) {
        const int id = static_cast<int>(output->GetId());
        const int column = sheet.InsertColumn(sheet.GetColumnCount(), OutputColumnTitle(id, model), 0,
                                              switchgrid::kOutputColumnFormat, switchgrid::kOutputColumnWidth);
        sheet.SetColumnValue(column, id);
    }
    // Ordered by id, each id once.
    std::map<uint32_t, std::string> names;
    for (const auto& source : processor.GetSigSrcs())
        names.emplace(source->GetId(), source->GetName());
    for (const auto& [id, text] : names) {
        const int row = sheet.AddRow(-1, QString::fromStdString(text), 0, 0, -1, ui::kNoColor, static_cast<int>(id));
        sheet.SetCellBkColor(row, 0, switchgrid::kNameCell);
    }
}

void RefreshSwitchGrid(SheetCore& sheet, const CQelProcessor& processor, const CQelPlan* plan)
{
    for (int row = 0; row < sheet.GetRowCount(); ++row)
        for (int column = 1; column < sheet.GetColumnCount(); ++column)
            MarkCell(sheet, row, column, false);
    if (!plan)
        return;
    const auto routes = plan->GetSwitchMap();
    for (const auto& output : processor.GetSigOuts()) {
        const auto route = routes.find(static_cast<int32_t>(output->GetId()));
        if (route == routes.end() || route->second < 0)
            continue;
        const int column = FindColumnByOutput(sheet, route->first);
        const int row = FindRowBySource(sheet, route->second);
        if (column > 0 && row >= 0)
            MarkCell(sheet, row, column, true);
    }
}

int FindRowBySource(const SheetCore& sheet, int sourceId)
{
    for (int row = 0; row < sheet.GetRowCount(); ++row)
        if (sheet.GetRowValue(row) == sourceId)
            return row;
    return -1;
}

int FindColumnByOutput(const SheetCore& sheet, int outputId)
{
    for (int column = 0; column < sheet.GetColumnCount(); ++column)
        if (sheet.GetColumnValue(column) == outputId)
            return column;
    return -1;
}

bool ClickSwitchCell(SheetCore& sheet, CQelPlan& plan, int row, int column)
{
    if (row < 0 || column < 0 || row >= sheet.GetRowCount() || column >= sheet.GetColumnCount())
        return false;
    const int output = sheet.GetColumnValue(column);
    const int input = sheet.GetRowValue(row);
    if (output == -1 || input == -1)
        return false;
    const int current = plan.GetSwitch(output);
    if (const int currentRow = current >= 0 ? FindRowBySource(sheet, current) : -1; currentRow >= 0)
        MarkCell(sheet, currentRow, column, false);
    if (current == input) {
        plan.SetSwitch(output, -1);
        return true;
    }
    plan.SetSwitch(output, input);
    MarkCell(sheet, row, column, true);
    return true;
}

void ClearSwitchRoutes(CQelPlan& plan)
{
    for (const auto& [output, input] : plan.GetSwitchMap())
        plan.SetSwitch(output, -1);
}

bool RenameSourceRow(SheetCore& sheet, const CQelProcessor& processor, int sourceId)
{
    const int row = FindRowBySource(sheet, sourceId);
    const auto source = sourceId >= 0 ? processor.GetSigSrc(static_cast<uint32_t>(sourceId)) : nullptr;
    if (row < 0 || !source)
        return false;
    sheet.SetItemText(row, 0, QString::fromStdString(source->GetName()));
    sheet.InvalidateCell(row, 0);
    return true;
}

#include "builder/pro32x32_builder.h"

#include "context/context.h"
#include "core/program_log.h"
#include "corlane/fstr.h"
#include "model/board.h"
#include "model/processor.h"
#include "model/processor_settings.h"
#include "plan/rect_cover.h"

using qz::vok::fstr_format;

int32_t CPro32x32Builder::OutputBoardNumber(int64_t boardId)
{
    return ClampInt32(boardId - 100);
}

CPro32x32Builder::CPro32x32Builder(CQelPlan* plan) : CPro16x16Builder(plan) {}

CPro32x32Builder::~CPro32x32Builder() = default;

std::string CPro32x32Builder::GetName() const
{
    return "Pro32x32Builder";
}

void CPro32x32Builder::LogSeparator()
{
    WriteLog("-----------------------------------\r\n");
}

bool CPro32x32Builder::ReportRefused(int32_t before, const char* what) const
{
    const int32_t refused = refusedOne_ - before;
    if (refused <= 0)
        return true;
    CQelContext::GetLog()->warn("%s: the command queue refused %d of the %s lines", GetName().c_str(), refused, what);
    return false;
}

bool CPro32x32Builder::Send()
{
    if (!processor_)
        return false;
    const int32_t before = refusedOne_;
    LogSeparator();
    RunPasses();
    for (const auto& b : context_->boards) {
        if (CQelBoard::IsInputType(b->type))
            CmdInputUpdateDisplay(b->number);
        else if (CQelBoard::IsOutputType(b->type))
            CmdOutputUpdateDisplay(OutputBoardNumber(b->number));
    }
    CmdCrosspointUpdate(0);
    CmdCrosspointUpdate(1);
    processor_->settings().SetStatusPoll(true);
    return ReportRefused(before, "layout's");
}

bool CPro32x32Builder::SendOne(const std::string& line)
{
    if (!processor_)
        return false;
    WriteLog(line);
    if (QueueBuilderLine(*processor_, line))
        return true;
    ++refusedOne_;
    return false;
}

bool CPro32x32Builder::PlaceScaled(_tagWindow& window)
{
    return PlaceOutput(window) && PlaceInput(window);
}

CPro16x16Builder::BackgroundChoice CPro32x32Builder::ChooseBackground(_tagBoard& board, _tagSigOut& output,
                                                                      int32_t windowId,
                                                                      std::shared_ptr<_tagBackgrd>& background)
{
    for (const auto& k : board.backgrounds) {
        if (!k->pieces.empty() && k->pieces.front()->windowId == windowId) {
            background = k;
            break;
        }
    }
    if (!background) {
        if (!AddBackground(board))
            return BackgroundChoice::Fail;
        background = board.backgrounds.back();
    }
    // The output shows the background its piece is composed on.
    undo_.Keep(output.background);
    output.background = background;
    return BackgroundChoice::Use;
}

// --- One command each --------------------------------------------------------

bool CPro32x32Builder::CmdVideoOutputSetup(const Args<11>& a)
{
    return SendOne(fstr_format("INPUT_FPGA VIDEO_OUTPUT_SETUP %d %d %d %d %d %d %d %d %d %d %d\r\n", a[0], a[1], a[2],
                               a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10]));
}

bool CPro32x32Builder::CmdInputScalerSetup(const Args<11>& a)
{
    return SendOne(fstr_format("INPUT_FPGA SCALER_SETUP %d %d %d %d %d %d %d %d %d %d %d\r\n", a[0], a[1], a[2], a[3],
                               a[4], a[5], a[6], a[7], a[8], a[9], a[10]));
}

bool CPro32x32Builder::CmdInputUpdateDisplay(int32_t board)
{
    return SendOne(fstr_format("INPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY %d\r\n", board));
}

bool CPro32x32Builder::CmdOutputWindowsLayout(const Args<4>& a)
{
    return SendOne(fstr_format("OUTPUT_FPGA SET_WINDOWS_LAYOUT %d %d %d %d\r\n", a[0], a[1], a[2], a[3]));
}

bool CPro32x32Builder::CmdOutputAddWindows(const Args<10>& a)
{
    return SendOne(fstr_format("OUTPUT_FPGA ADD_WINDOWS %d %d %d %d %d %d %d %d %d %d\r\n", a[0], a[1], a[2], a[3],
                               a[4], a[5], a[6], a[7], a[8], a[9]));
}

bool CPro32x32Builder::CmdOutputAddWindowsEnd()
{
    return SendOne("OUTPUT_FPGA ADD_WINDOWS_END\r\n");
}

bool CPro32x32Builder::CmdOutputScalerSetup(const Args<11>& a)
{
    return SendOne(fstr_format("OUTPUT_FPGA SCALER_SETUP %d %d %d %d %d %d %d %d %d %d %d\r\n", a[0], a[1], a[2], a[3],
                               a[4], a[5], a[6], a[7], a[8], a[9], a[10]));
}

bool CPro32x32Builder::CmdOutputClearWindow(int32_t board, int32_t port)
{
    return SendOne(fstr_format("OUTPUT_FPGA CLEAR_OUTPUT_WIN %d %d\r\n", board, port));
}

bool CPro32x32Builder::CmdOutputUpdateDisplay(int32_t board)
{
    return SendOne(fstr_format("OUTPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY %d\r\n", board));
}

bool CPro32x32Builder::CmdBackplaneSwitch(const Args<4>& a)
{
    return SendOne(fstr_format("GP BPSW %d %d %d %d\r\n", a[0], a[1], a[2], a[3]));
}

bool CPro32x32Builder::CmdCrosspointUpdate(int32_t value)
{
    return SendOne(fstr_format("K40750 UPDATA %d\r\n", value));
}

#include "builder/pro16x16_builder.h"
#include "builder/source_signal.h"

#include <algorithm>

#include "context/context.h"
#include "core/program_log.h"
#include "model/board.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "plan/plan.h"
#include "plan/rect_cover.h"

namespace {

constexpr char kSeparator[] = "-----------------------------------\r\n";

} // namespace

std::shared_ptr<CQelProcessor> SelectedProcessor()
{
    const int id = CQelContext::GetSelProcessorId();
    if (id < 0)
        return nullptr;
    return CQelContext::GetProMan()->FindById(static_cast<uint32_t>(id));
}

void MarkRealized(const CQelPlan& plan, const CPro16x16Builder& builder)
{
    for (const auto& w : plan.GetWindows())
        w->resourceOk = builder.IsWindowRealized(w->id);
}

bool QueueBuilderLine(CQelProcessor& processor, const std::string& line)
{
    return processor.QueueCommand(line);
}

// --- Builder ---------------------------------------------------------------

CPro16x16Builder::CPro16x16Builder(CQelPlan* plan, int32_t maxScalerWidth, int32_t maxScalerHeight)
    : plan_(plan), processor_(SelectedProcessor()), maxScalerWidth_(std::max(maxScalerWidth, 1)),
      maxScalerHeight_(std::max(maxScalerHeight, 1)), context_(std::make_shared<_tagContext>())
{
}

CPro16x16Builder::~CPro16x16Builder() = default;

std::string CPro16x16Builder::GetName() const
{
    return "Pro16x16Builder";
}

void CPro16x16Builder::WriteLog(const std::string& line)
{
    if (!log_)
        log_ = std::make_unique<CBuilderLog>(GetName());
    log_->Write(line);
}

void CPro16x16Builder::Build()
{
    if (!plan_ || !processor_)
        return;
    CollectBoards();
    CollectWindows();
    for (const auto& w : windows_) {
        if (w->check == 0) {
            PlaceByPiece(*w);
            continue;
        }
        // Only a window tried input- and output-side can need undoing.
        undo_.Begin();
        if (SplitSourceRect(*w) && PlaceScaled(*w)) {
            undo_.Commit();
        } else {
            undo_.Rollback();
            PlaceByPiece(*w);
        }
    }
}

bool CPro16x16Builder::PlaceScaled(_tagWindow& window)
{
    return PlaceInput(window) && PlaceOutput(window);
}

void CPro16x16Builder::SendLines(std::vector<std::string>& lines)
{
    if (processor_) {
        for (const auto& line : lines) {
            if (!line.empty() && !QueueBuilderLine(*processor_, line))
                ++refused_;
            WriteLog(line);
        }
    }
    lines.clear();
}

bool CPro16x16Builder::Send()
{
    if (!processor_)
        return false;
    const int32_t refusedBefore = refused_;
    WriteLog(kSeparator);
    RunPasses();
    processor_->settings().SetStatusPoll(true);
    const int32_t refused = refused_ - refusedBefore;
    if (refused > 0) {
        CQelContext::GetLog()->warn("%s: the command queue refused %d of the layout's lines", GetName().c_str(),
                                    refused);
        return false;
    }
    return true;
}

void CPro16x16Builder::RunPasses()
{
    processor_->settings().SetStatusPoll(false);
    for (const auto& b : context_->boards)
        InputPass(b.get());
    BackplanePass();
    for (const auto& b : context_->boards)
        OutputPass(b.get());
}

bool CPro16x16Builder::IsWindowRealized(int32_t windowId) const
{
    const _tagWindow* window = nullptr;
    for (const auto& w : windows_) {
        if (w->window->id == windowId) {
            window = w.get();
            break;
        }
    }
    if (!window)
        return false;
    bool shown = false;
    bool leftOut = false;
    for (int32_t id : window->outputs) {
        const _tagSigOut* out = FindOutput(id);
        if (!out)
            return false;
        for (const auto& p : out->pieces) {
            if (p->windowId != windowId)
                continue;
            if (p->status == kOnOutputScaler || (p->status == kOnBackground && SendsBackgrounds()))
                shown = true;
            else if (p->status == kInvisible)
                leftOut = true;
            else
                return false;
        }
    }
    // A sliver left out of a scaled window takes nothing from it; a window
    // of invisible pieces alone shows nothing.
    return shown || !leftOut;
}

int32_t CPro16x16Builder::GetBoardParam(int32_t board) const
{
    const _tagBoard* b = FindBoard(board);
    return b ? b->remaining : 0;
}

int32_t CPro16x16Builder::SourceKey(const SourceInfo& source) const
{
    const int32_t id = static_cast<int32_t>(source.id);
    if (source.type != 9)
        return id;
    const int32_t board = id / 100;
    const int32_t port = id % 100;
    return port < 24 ? board * 100 + port / 6 : board * 100 + port - 24;
}

namespace {

int32_t AllocChannel(std::vector<CPro16x16Builder::RoutePair>& routes, int32_t key, int32_t board, int32_t first)
{
    for (const auto& r : routes) {
        if (r.key == key && r.channel / 100 == board)
            return r.channel;
    }
    for (int32_t c = first; c < first + 4; ++c) {
        const int32_t channel = board * 100 + c;
        bool taken = false;
        for (const auto& r : routes)
            taken = taken || r.channel == channel;
        if (!taken) {
            routes.push_back({key, channel});
            return channel;
        }
    }
    return -1;
}

} // namespace

int32_t CPro16x16Builder::AllocInputChannel(const SourceInfo& source, _tagBoard& board)
{
    undo_.KeepSize(context_->routes);
    return AllocChannel(context_->routes, SourceKey(source), board.number, 0);
}

int32_t CPro16x16Builder::AllocOutputChannel(int32_t key, _tagBoard& board)
{
    undo_.KeepSize(context_->routes);
    return AllocChannel(context_->routes, key, board.number, 4);
}

bool CPro16x16Builder::AddBackground(_tagBoard& board)
{
    if (board.backgrounds.size() >= 4)
        return false;
    undo_.KeepSize(board.backgrounds);
    auto k = std::make_shared<_tagBackgrd>();
    k->number = 4 + static_cast<int32_t>(board.backgrounds.size());
    k->owner = &board;
    const auto cell = plan_->GetResolution();
    k->rect = Rect{0, 0, cell.width, cell.height};
    board.backgrounds.push_back(k);
    return true;
}

void CPro16x16Builder::CollectBoards()
{
    const auto boards = processor_->records().GetBoards();
    auto add = [&](bool input) {
        for (const auto& board : boards) {
            const int32_t type = board->GetType();
            if (input ? !IsInputBoardType(type) : !IsOutputBoardType(type))
                continue;
            auto b = std::make_shared<_tagBoard>();
            b->number = static_cast<int32_t>(board->GetId());
            b->type = type;
            b->scalerCount = board->GetScaler();
            b->remaining = b->scalerCount;
            context_->boards.push_back(b);
        }
    };
    add(true);
    add(false);

    const auto cell = plan_->GetResolution();
    const auto placement = SelectedWallPlacement();
    for (const auto& output : processor_->GetSigOuts()) {
        if (!output->GetBoard())
            continue;
        const int32_t id = static_cast<int32_t>(output->GetId());
        _tagBoard* b = FindBoard(id / 100);
        if (!b)
            continue;
        auto o = std::make_shared<_tagSigOut>();
        o->id = id;
        o->owner = b;
        o->wall = plan_->GetOutputRect(id, placement);
        o->raster = Rect{0, 0, cell.width, cell.height};
        b->outputs.push_back(o);
    }
    for (const auto& b : context_->boards) {
        if (!IsOutputBoardType(b->type) || b->outputs.empty())
            continue;
        Rect r = b->outputs.front()->wall;
        for (const auto& o : b->outputs) {
            r.left = std::min(r.left, o->wall.left);
            r.top = std::min(r.top, o->wall.top);
            r.right = std::max(r.right, o->wall.right);
            r.bottom = std::max(r.bottom, o->wall.bottom);
        }
        if (r.left >= 0 && r.top >= 0)
            b->bounds = r;
    }
}

void CPro16x16Builder::CollectWindows()
{
    std::vector<int32_t> ids;
    plan_->GetVisibleWindows(ids);
    const auto placement = SelectedWallPlacement();
    for (int32_t id : ids) {
        auto window = plan_->GetWindowById(id);
        if (!window || window->sigsrc < 0)
            continue;
        const auto source = processor_->GetSigSrc(static_cast<uint32_t>(window->sigsrc));
        if (!source)
            continue;
        const auto values = source->GetValues();
        if (!source->GetBoard() || !FindBoard(static_cast<int32_t>(values.boardId)))
            continue;
        auto info = std::make_shared<SourceInfo>();
        info->id = values.id;
        info->type = values.type;
        const Resolution size = SignalSizeOf(values.resolution);
        info->width = size.width;
        info->height = size.height;
        info->x = values.startPoint.x;
        info->y = values.startPoint.y;
        info->board = values.boardId;

        auto w = std::make_shared<_tagWindow>();
        w->window = window;
        w->source = info;
        w->rect = plan_->GetWindowRect(window);
        w->check = plan_->CheckWindowSource(window);
        w->crop = window->rcsigsrc;
        w->cropped = !RectEmpty(w->crop);
        for (int32_t outputId : plan_->GetWindowOutputs(window, placement)) {
            _tagSigOut* out = FindOutput(outputId);
            if (!out)
                continue;
            auto p = std::make_shared<_tagSigOutWin>();
            p->windowId = id;
            p->wall = IntersectRect(w->rect, out->wall);
            if (!RectEmpty(p->wall))
                p->raster = OffsetRect(p->wall, -int64_t(out->wall.left), -int64_t(out->wall.top));
            if (!w->cropped) {
                p->source = Rect{0, 0, info->width, info->height};
                p->scaledWidth = ClampInt32(RectWidth(w->rect));
                p->scaledHeight = ClampInt32(RectHeight(w->rect));
                p->scaled = OffsetRect(p->wall, -int64_t(w->rect.left), -int64_t(w->rect.top));
            } else if (w->check == 0) {
                p->source = w->crop;
                p->scaledWidth = info->width;
                p->scaledHeight = info->height;
                p->scaled = w->crop;
            } else {
                p->source = w->crop;
                p->scaledWidth = window->szsigsrcfull.cx;
                p->scaledHeight = window->szsigsrcfull.cy;
                const int64_t left = int64_t(p->wall.left) - w->rect.left + window->rcsigsrcinner.left;
                const int64_t top = int64_t(p->wall.top) - w->rect.top + window->rcsigsrcinner.top;
                p->scaled = MakeRect(left, top, left + RectWidth(p->wall), top + RectHeight(p->wall));
            }
            out->pieces.push_back(p);
            w->outputs.push_back(outputId);
        }
        windows_.push_back(w);
    }
}

// --- Lookups ---------------------------------------------------------------

CPro16x16Builder::_tagBoard* CPro16x16Builder::FindBoard(int32_t number) const
{
    for (const auto& b : context_->boards) {
        if (b->number == number)
            return b.get();
    }
    return nullptr;
}

CPro16x16Builder::_tagSigOut* CPro16x16Builder::FindOutput(int32_t id) const
{
    _tagBoard* b = FindBoard(id / 100);
    if (!b)
        return nullptr;
    for (const auto& o : b->outputs) {
        if (o->id == id)
            return o.get();
    }
    return nullptr;
}

CPro16x16Builder::PiecePtr CPro16x16Builder::FindPiece(const _tagSigOut& output, int32_t windowId)
{
    for (const auto& p : output.pieces) {
        if (p->windowId == windowId)
            return p;
    }
    return nullptr;
}

std::shared_ptr<CPro16x16Builder::_tagSigSrc> CPro16x16Builder::FindUse(const _tagBoard& board, uint32_t sourceId,
                                                                        int32_t width, int32_t height)
{
    for (const auto& u : board.sources) {
        if (u->source->id == sourceId && u->scaledWidth == width && u->scaledHeight == height)
            return u;
    }
    return nullptr;
}

bool CPro16x16Builder::WallPosition(int32_t outputId, int32_t& row, int32_t& col) const
{
    return processor_->FindWallCellOfOutput(outputId, row, col);
}

bool CPro16x16Builder::FrameOf(const SourceInfo& source, int32_t& width, int32_t& height, int32_t& dx,
                               int32_t& dy) const
{
    width = source.width;
    height = source.height;
    dx = 0;
    dy = 0;
    const int32_t port = static_cast<int32_t>(source.id % 100);
    if (source.type != 9 || port >= 24)
        return HasSignalSize(width, height);
    const uint32_t carrierId = source.id / 100 * 100 + 24 + static_cast<uint32_t>(port / 6);
    const auto carrier = processor_ ? processor_->GetSigSrc(carrierId) : nullptr;
    if (!carrier)
        return false;
    const auto resolution = carrier->GetResolution();
    width = resolution.width;
    height = resolution.height;
    dx = source.x;
    dy = source.y;
    return HasSignalSize(width, height);
}

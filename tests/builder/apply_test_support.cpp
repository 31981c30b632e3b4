#include "tests/builder/apply_test_support.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "comm/net_manager.h"
#include "context/context.h"
#include "core/event_queue.h"
#include "corlane/app_path.h"
#include "corlane/xdatetime.h"
#include "model/board.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_manager.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "model/sig_out.h"
#include "model/sig_src.h"

// Stands for an open link; what it is sent goes nowhere.
class ConnectedChannel : public CNetChannel {
public:
    explicit ConnectedChannel(bool connected = true)
        : CNetChannel(&CNetManager::get_instance(), "test"), connected_(connected)
    {
    }
    bool IsConnected() const override { return connected_; }
    bool CheckConnected() const override { return connected_; }
    void Open() override {}
    void Close() override {}
    bool SendBlock(int, qz::vok::binblock&) override { return true; }

private:
    bool connected_;
};

void ClearLogs()
{
    std::filesystem::remove_all(qz::vok::path::GetLogPath());
}

void PushRecorder::Attach(CQelProcessor& processor)
{
    processor.link().SetPushObserver([this](std::string_view text, int32_t type) {
        std::lock_guard guard(lock_);
        pushes_.push_back({std::string(text), type});
    });
}

std::vector<Pushed> PushRecorder::Pushes() const
{
    std::lock_guard guard(lock_);
    return pushes_;
}

std::vector<std::string> PushRecorder::Lines() const
{
    std::vector<std::string> out;
    for (const auto& p : Pushes()) {
        if (p.type == 1)
            out.push_back(p.text);
    }
    return out;
}

void PushRecorder::Clear()
{
    std::lock_guard guard(lock_);
    pushes_.clear();
}

std::shared_ptr<CQelBoard> AddBoardTo(CQelProcessor& processor, uint32_t id, int32_t type, int32_t scalers)
{
    CQelBoard::Values v;
    v.id = id;
    v.type = type;
    v.scaler = scalers;
    auto board = std::make_shared<CQelBoard>(v);
    processor.records().AddBoard(board);
    return board;
}

std::shared_ptr<CQelSigSrc> AddSourceTo(CQelProcessor& processor, uint32_t id, uint32_t boardId, int32_t width,
                                        int32_t height, int32_t type, Point start)
{
    CQelSigSrc::Values v;
    v.id = id;
    v.type = type;
    v.resolution = {width, height, 60};
    v.startPoint = start;
    v.joined = true;
    auto source = std::make_shared<CQelSigSrc>(v);
    source->SetBoard(processor.GetBoard(boardId));
    processor.AddSigSrc(source, false, false);
    source->SetStartPoint(start);
    source->SetJoined(true);
    return source;
}

void AddOutputTo(CQelProcessor& processor, uint32_t id)
{
    CQelSigOut::Values v;
    v.id = id;
    auto output = std::make_shared<CQelSigOut>(v);
    output->SetBoard(processor.GetBoard(id / 100));
    processor.AddSigOut(output);
}

void SetWallOf(CQelProcessor& processor, const std::map<std::pair<int32_t, int32_t>, int32_t>& cells)
{
    auto wall = processor.GetWall();
    wall.cells = cells;
    processor.SetWall(wall);
}

ApplyFixture::ApplyFixture(int32_t kind, bool connected)
{
    CQelContext::Destroy();
    ClearLogs();
    processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    processor->SetKind(kind);
    processor->SetOutputResolution(1920, 1080, 60);
    CQelContext::GetProMan()->AddProcessor(processor);
    CQelContext::SetSelSigSrc(1, -1);
    channel = std::make_shared<ConnectedChannel>(connected);
    processor->settings().SetChannelId(CNetManager::get_instance().Register(channel));
    recorder.Attach(*processor);
}

ApplyFixture::~ApplyFixture()
{
    processor->link().SetPushObserver(nullptr);
    CNetManager::get_instance().CloseAndRemove(channel->GetId());
    processor->link().StopSender();
    processor.reset();
    CQelContext::Destroy();
    EventPtr e;
    while (CEvtQueue::get_instance().TryPop(e)) {
    }
}

std::shared_ptr<CQelBoard> ApplyFixture::AddBoard(uint32_t id, int32_t type, int32_t scalers)
{
    return AddBoardTo(*processor, id, type, scalers);
}

std::shared_ptr<CQelSigSrc> ApplyFixture::AddSource(uint32_t id, uint32_t boardId, int32_t width, int32_t height,
                                                    int32_t type, Point start)
{
    return AddSourceTo(*processor, id, boardId, width, height, type, start);
}

void ApplyFixture::AddOutput(uint32_t id)
{
    AddOutputTo(*processor, id);
}

void ApplyFixture::SetWall(const std::map<std::pair<int32_t, int32_t>, int32_t>& cells)
{
    SetWallOf(*processor, cells);
}

void ApplyFixture::Standard(int32_t inputScalers, int32_t outputScalers)
{
    AddBoard(1, 1, inputScalers);
    AddBoard(10, 21, outputScalers);
    AddSource(100, 1);
    AddOutput(1000);
    AddOutput(1001);
    SetWall({{{0, 0}, 1000}, {{0, 1}, 1001}});
}

std::shared_ptr<CQelPlan> MakePlan(int32_t rows, int32_t cols, int32_t type, int32_t cellWidth, int32_t cellHeight)
{
    auto plan = std::make_shared<CQelPlan>();
    plan->SetId(1);
    plan->SetType(type);
    plan->SetGrid(rows, cols);
    plan->SetResolution({cellWidth, cellHeight, 60});
    return plan;
}

std::shared_ptr<CQelPlan> SwitchPlan(const std::map<int32_t, int32_t>& routes)
{
    auto plan = MakePlan(1, 2, kPlanSwitch);
    for (auto [output, input] : routes)
        plan->SetSwitch(output, input);
    return plan;
}

std::shared_ptr<CQelWindow> AddWindow(CQelPlan& plan, const Rect& rect, int32_t source, const Rect& crop)
{
    auto w = std::make_shared<CQelWindow>();
    w->processor = 1;
    w->sigsrc = source;
    w->rect = rect;
    w->rcsigsrc = crop;
    plan.AddWindow(w, CurrentPlanSelection());
    return w;
}

void FillQueue(CQelProcessor& processor)
{
    processor.link().StopSender();
    while (processor.QueueCommand("X\r\n")) {
    }
}

std::string ReadLog(const std::string& name)
{
    const auto today = qz::vok::xdatetime::get_curdatetime().get_date();
    std::ifstream in(qz::vok::path::GetLogPath() + "/" + today.tostr() + "/" + name + "-" + today.tostr() + ".LOG",
                     std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Crlf(const std::vector<std::string>& lines)
{
    std::vector<std::string> out;
    for (const auto& l : lines)
        out.push_back(l + "\r\n");
    return out;
}

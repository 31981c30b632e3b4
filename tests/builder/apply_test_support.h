#pragma once
// A processor of the context, selected and seen as connected, whose queued
// commands the test reads in order, and a plan on its wall.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "context/context.h"
#include "core/event_queue.h"
#include "comm/net_manager.h"
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
#include "plan/plan.h"

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

inline void ClearLogs()
{
    std::filesystem::remove_all(qz::vok::path::GetLogPath());
}

struct Pushed {
    std::string text;
    int32_t type;
    friend bool operator==(const Pushed&, const Pushed&) = default;
};

class PushRecorder {
public:
    void Attach(CQelProcessor& processor)
    {
        processor.link().SetPushObserver([this](std::string_view text, int32_t type) {
            std::lock_guard guard(lock_);
            pushes_.push_back({std::string(text), type});
        });
    }
    std::vector<Pushed> Pushes() const
    {
        std::lock_guard guard(lock_);
        return pushes_;
    }
    // Every push as one line each, "\r\n" kept, checking they are paced.
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> out;
        for (const auto& p : Pushes()) {
            if (p.type == 1)
                out.push_back(p.text);
        }
        return out;
    }
    void Clear()
    {
        std::lock_guard guard(lock_);
        pushes_.clear();
    }

private:
    mutable std::mutex lock_;
    std::vector<Pushed> pushes_;
};

// Parts of a processor; outputs belong to board id / 100, sources are joined.
inline std::shared_ptr<CQelBoard> AddBoardTo(CQelProcessor& processor, uint32_t id, int32_t type, int32_t scalers)
{
    CQelBoard::Values v;
    v.id = id;
    v.type = type;
    v.scaler = scalers;
    auto board = std::make_shared<CQelBoard>(v);
    processor.records().AddBoard(board);
    return board;
}

inline std::shared_ptr<CQelSigSrc> AddSourceTo(CQelProcessor& processor, uint32_t id, uint32_t boardId,
                                               int32_t width = 1920, int32_t height = 1080, int32_t type = 1,
                                               Point start = {})
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

inline void AddOutputTo(CQelProcessor& processor, uint32_t id)
{
    CQelSigOut::Values v;
    v.id = id;
    auto output = std::make_shared<CQelSigOut>(v);
    output->SetBoard(processor.GetBoard(id / 100));
    processor.AddSigOut(output);
}

inline void SetWallOf(CQelProcessor& processor, const std::map<std::pair<int32_t, int32_t>, int32_t>& cells)
{
    auto wall = processor.GetWall();
    wall.cells = cells;
    processor.SetWall(wall);
}

// Processor 1 as most tests want it: model 3 at 1920 x 1080, input board 1
// (4 scalers) with source 100, output board 10 (4 scalers) with outputs 1000
// and 1001 side by side on the wall.
struct ApplyFixture {
    std::shared_ptr<CQelProcessor> processor;
    std::shared_ptr<ConnectedChannel> channel;
    PushRecorder recorder;

    explicit ApplyFixture(int32_t kind = 3, bool connected = true)
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

    ~ApplyFixture()
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

    std::shared_ptr<CQelBoard> AddBoard(uint32_t id, int32_t type, int32_t scalers)
    {
        return AddBoardTo(*processor, id, type, scalers);
    }
    std::shared_ptr<CQelSigSrc> AddSource(uint32_t id, uint32_t boardId, int32_t width = 1920, int32_t height = 1080,
                                          int32_t type = 1, Point start = {})
    {
        return AddSourceTo(*processor, id, boardId, width, height, type, start);
    }
    void AddOutput(uint32_t id) { AddOutputTo(*processor, id); }
    void SetWall(const std::map<std::pair<int32_t, int32_t>, int32_t>& cells) { SetWallOf(*processor, cells); }

    // The fixture: boards 1 and 10, source 100, outputs 1000, 1001.
    void Standard(int32_t inputScalers = 4, int32_t outputScalers = 4)
    {
        AddBoard(1, 1, inputScalers);
        AddBoard(10, 21, outputScalers);
        AddSource(100, 1);
        AddOutput(1000);
        AddOutput(1001);
        SetWall({{{0, 0}, 1000}, {{0, 1}, 1001}});
    }
};

inline std::shared_ptr<CQelPlan> MakePlan(int32_t rows, int32_t cols, int32_t type = kPlanUniform,
                                          int32_t cellWidth = 1920, int32_t cellHeight = 1080)
{
    auto plan = std::make_shared<CQelPlan>();
    plan->SetId(1);
    plan->SetType(type);
    plan->SetGrid(rows, cols);
    plan->SetResolution({cellWidth, cellHeight, 60});
    return plan;
}

inline std::shared_ptr<CQelPlan> SwitchPlan(const std::map<int32_t, int32_t>& routes)
{
    auto plan = MakePlan(1, 2, kPlanSwitch);
    for (auto [output, input] : routes)
        plan->SetSwitch(output, input);
    return plan;
}

inline std::shared_ptr<CQelWindow> AddWindow(CQelPlan& plan, const Rect& rect, int32_t source = 100,
                                             const Rect& crop = {})
{
    auto w = std::make_shared<CQelWindow>();
    w->processor = 1;
    w->sigsrc = source;
    w->rect = rect;
    w->rcsigsrc = crop;
    plan.AddWindow(w, CurrentPlanSelection());
    return w;
}

// Fills the queue so that it refuses what comes next.
inline void FillQueue(CQelProcessor& processor)
{
    processor.link().StopSender();
    while (processor.QueueCommand("X\r\n")) {
    }
}

inline std::string ReadLog(const std::string& name)
{
    const auto today = qz::vok::xdatetime::get_curdatetime().get_date();
    std::ifstream in(qz::vok::path::GetLogPath() + "/" + today.tostr() + "/" + name + "-" + today.tostr() + ".LOG",
                     std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<std::string> Crlf(const std::vector<std::string>& lines)
{
    std::vector<std::string> out;
    for (const auto& l : lines)
        out.push_back(l + "\r\n");
    return out;
}

#pragma once
// A processor of the context, selected and seen as connected, whose queued
// commands the test reads in order, and a plan on its wall.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "plan/plan.h"

class CQelBoard;
class CQelProcessor;
class CQelSigSrc;
class ConnectedChannel;

void ClearLogs();

struct Pushed {
    std::string text;
    int32_t type;
    friend bool operator==(const Pushed&, const Pushed&) = default;
};

class PushRecorder {
public:
    void Attach(CQelProcessor& processor);
    std::vector<Pushed> Pushes() const;
    // Every push as one line each, "\r\n" kept, checking they are paced.
    std::vector<std::string> Lines() const;
    void Clear();

private:
    mutable std::mutex lock_;
    std::vector<Pushed> pushes_;
};

// Parts of a processor; outputs belong to board id / 100, sources are joined.
std::shared_ptr<CQelBoard> AddBoardTo(CQelProcessor& processor, uint32_t id, int32_t type, int32_t scalers);
std::shared_ptr<CQelSigSrc> AddSourceTo(CQelProcessor& processor, uint32_t id, uint32_t boardId, int32_t width = 1920,
                                        int32_t height = 1080, int32_t type = 1, Point start = {});
void AddOutputTo(CQelProcessor& processor, uint32_t id);
void SetWallOf(CQelProcessor& processor, const std::map<std::pair<int32_t, int32_t>, int32_t>& cells);

// Processor 1 as most tests want it: model 3 at 1920 x 1080, input board 1
// (4 scalers) with source 100, output board 10 (4 scalers) with outputs 1000
// and 1001 side by side on the wall.
struct ApplyFixture {
    std::shared_ptr<CQelProcessor> processor;
    std::shared_ptr<ConnectedChannel> channel;
    PushRecorder recorder;

    explicit ApplyFixture(int32_t kind = 3, bool connected = true);
    ~ApplyFixture();

    std::shared_ptr<CQelBoard> AddBoard(uint32_t id, int32_t type, int32_t scalers);
    std::shared_ptr<CQelSigSrc> AddSource(uint32_t id, uint32_t boardId, int32_t width = 1920, int32_t height = 1080,
                                          int32_t type = 1, Point start = {});
    void AddOutput(uint32_t id);
    void SetWall(const std::map<std::pair<int32_t, int32_t>, int32_t>& cells);

    // The usual fixture: boards 1 and 10, source 100, outputs 1000, 1001.
    void Standard(int32_t inputScalers = 4, int32_t outputScalers = 4);
};

std::shared_ptr<CQelPlan> MakePlan(int32_t rows, int32_t cols, int32_t type = kPlanUniform, int32_t cellWidth = 1920,
                                   int32_t cellHeight = 1080);

std::shared_ptr<CQelPlan> SwitchPlan(const std::map<int32_t, int32_t>& routes);

std::shared_ptr<CQelWindow> AddWindow(CQelPlan& plan, const Rect& rect, int32_t source = 100, const Rect& crop = {});

// Fills the queue so that it refuses what comes next.
void FillQueue(CQelProcessor& processor);

std::string ReadLog(const std::string& name);

std::vector<std::string> Crlf(const std::vector<std::string>& lines);

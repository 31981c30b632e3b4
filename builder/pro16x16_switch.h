#pragma once
// Sends a switch plan to a 16x16 processor: every output with an assigned,
// joined input shows that input full screen through one scaler of its
// output board.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "builder/builder_log.h"

class CQelPlan;
class CQelProcessor;

class CPro16x16SwitchSender {
public:
    // Takes the context's selected processor, as the builders do.
    explicit CPro16x16SwitchSender(CQelPlan* plan);
    virtual ~CPro16x16SwitchSender();
    CPro16x16SwitchSender(const CPro16x16SwitchSender&) = delete;
    CPro16x16SwitchSender& operator=(const CPro16x16SwitchSender&) = delete;

    // False without a processor or when the command queue refused a line.
    bool Send();
    void SendLines(std::vector<std::string>& lines);
    void WriteLog(const std::string& line);

private:
    CQelPlan* plan_;
    std::shared_ptr<CQelProcessor> processor_;
    int32_t refused_ = 0;
    CBuilderLog log_{"Pro16x16Switch"};
};

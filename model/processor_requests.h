#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/processor.h"

class IProgress;
class ProcessorJobs;
class ProcessorLink;
struct tagOSD_DATA_EX2_S;

// The device requests of a processor: the command text of each, the models
// that take it and its send path. Reads the records through its processor,
// sends through its link, and waits through its jobs' pause, which a stop
// cuts short.
class ProcessorRequests {
public:
    ProcessorRequests(CQelProcessor& owner, ProcessorLink& link, ProcessorJobs& jobs);

    // Those with an int result give 0 for done and 1 for refused or failed
    // (LoadPreset: 1 when confirmed); the network setters give true for
    // success. A model a request does not serve gets nothing.
    int SetClock(int a, int b, int c, int d, int e, int f);
    int SetFreeze(int on);
    int LoadPreset(int preset);
    int SetBackgroundColor(uint8_t red, uint8_t green, uint8_t blue);
    int WriteBackgroundYuv(int board, uint8_t red, uint8_t green, uint8_t blue);
    int EnableAllTime(int on);
    int SendRawText(const std::string& text);
    int LeaveDisplayMode();
    // The network queries of request codes 11 to 20.
    int SendQuery(int code);
    bool SetNetwork(const std::string& address, const std::string& port);
    bool SetNetwork2(const std::string& address, const std::string& port);
    bool SetSubnetMask(const std::string& mask);
    bool SetSubnetMask2(const std::string& mask);
    bool SetGateway(const std::string& gateway);
    bool SetGateway2(const std::string& gateway);
    bool SetSubnetMaskLong(const std::string& mask);
    bool SetSubnetMaskLong2(const std::string& mask);
    int SetOutputTiming(uint32_t resolutionId);
    int SetTestPattern(uint32_t outputId, int pattern, uint32_t colour);
    int ProgramEdid(uint32_t inputId, int choice);
    bool SetInputRouting(uint32_t inputId, int choice);
    // False when the processor has no such source.
    bool SetPictureControl(uint32_t inputId, int control, int value);
    int SetTimeOsd(const tagOSD_DATA_EX2_S& item);
    int QueryStatus();
    void RequestSlotDiscovery();
    int QueueCommandList(const std::vector<std::string>& lines);
    // Sends the lines confirmed, `group` at a time; the receiver (may be
    // null) hears (done, total), (total + 1, total) on failure.
    int SendOsdLines(IProgress* receiver, const std::vector<std::string>& lines, int group, uint32_t delayMs);
    // Stores the lines as display mode `mode` and polls for completion for
    // at most 20 s; 0 when the device reported it stored.
    int SwitchDisplayMode(int mode, IProgress* receiver, bool abortOnFailure, const std::vector<std::string>& lines);
    // Stores the model's empty layout into display mode `step`.
    int ClearOutputWindows(int step, IProgress* receiver);

private:
    // A confirmed send that writes "***" before the text of a failed one.
    bool SendLogged(const std::string& text);
    // The "GP SOT" command of models 7 to 10; empty when none applies.
    std::string OutputTimingCommand(uint32_t resolutionId) const;
    bool SetAddressAndPort(const char* model6Address, const char* model6Port, const char* fpgaCommand,
                           const std::string& address, const std::string& port);
    bool SetAddressWord(const char* command, const std::string& text, size_t model6Fields, size_t fpgaFields);

    CQelProcessor& owner_;
    ProcessorLink& link_;
    ProcessorJobs& jobs_;
};

#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class CQelProcessor;
class CQelSigSrc;

// The processors of the program, in the order they were added; ids are
// unique and processors are never removed.
class CQelProMan {
public:
    // Told the processor id and source id of the source to select.
    using SelectSource = std::function<void(uint32_t processorId, uint32_t sourceId)>;

    // Makes processor 1 from the processor file in the hardware folder and
    // selects its first source, if it has one. Always true: a file that
    // cannot be read leaves the processor at its defaults.
    bool CreateDefaultProcessor(const SelectSource& select = {});
    bool AddProcessor(const std::shared_ptr<CQelProcessor>& processor);
    std::vector<std::shared_ptr<CQelProcessor>> GetProcessors() const;
    std::shared_ptr<CQelProcessor> FindById(uint32_t id) const;
    std::shared_ptr<CQelProcessor> FindByChannel(uint32_t channelId) const;
    std::shared_ptr<CQelSigSrc> GetSigSrcOf(uint32_t processorId, uint32_t sourceId) const;
    // The periodic status request to every processor, in list order; a
    // processor busy with a job that forbids it just skips this round.
    void BroadcastStatusQuery() const;

private:
    mutable std::mutex mutex_; // may take a processor's lock, never taken under one
    std::vector<std::shared_ptr<CQelProcessor>> processors_;
};

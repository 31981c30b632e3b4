#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/model_values.h"
#include "model/processor.h"
#include "model/sig_out.h"

class PendingEvents;
struct ProcessorFileData;

// A processor's records: its boards, its sources (with the quarter sources
// of the 4K inputs in a second list), its outputs and the output resolutions
// the device offers. They sit behind the processor's lock, which every record
// the part adopts shares.
class ProcessorRecords {
public:
    using ResolutionEntry = CQelProcessor::ResolutionEntry;

    ProcessorRecords(CQelProcessor& owner, std::shared_ptr<ProcessorLock> lock);
    ProcessorRecords(const ProcessorRecords&) = delete;
    ProcessorRecords& operator=(const ProcessorRecords&) = delete;

    // Signal sources. Sources of type 13 also have four quarter sources in
    // a second ("split") list.
    bool AddSigSrc(const std::shared_ptr<CQelSigSrc>& source, bool postEvent, bool toSplitList);
    void RemoveSigSrc(uint32_t id);
    std::shared_ptr<CQelSigSrc> GetSigSrcAt(size_t index) const;
    std::shared_ptr<CQelSigSrc> GetSigSrc(uint32_t id) const;
    std::vector<std::shared_ptr<CQelSigSrc>> GetSigSrcs() const;
    size_t GetSigSrcCount() const;
    std::shared_ptr<CQelSigSrc> GetListBItem(uint32_t id) const;
    std::shared_ptr<CQelSigSrc> GetListBItemAt(size_t index) const;
    std::vector<std::shared_ptr<CQelSigSrc>> GetListBItems() const;
    void NotifySigSrcUpdate(uint32_t id);

    // Outputs, kept in ascending id order by AddSigOut.
    bool AddSigOut(const std::shared_ptr<CQelSigOut>& output);
    void RemoveSigOut(uint32_t id);
    std::shared_ptr<CQelSigOut> GetSigOutAt(size_t index) const;
    std::shared_ptr<CQelSigOut> GetSigOut(uint32_t id) const;
    std::vector<std::shared_ptr<CQelSigOut>> GetSigOuts() const;
    size_t GetSigOutCount() const;
    void ClearSigOuts();
    // Empties the outputs for discovery to fill; until it adds or removes
    // one, a save writes the outputs as they were.
    void ClearSigOutsForDiscovery();

    // Boards.
    bool AddBoard(const std::shared_ptr<CQelBoard>& board);
    // Removes the sources of an input board or the outputs of an output
    // board; the board stays.
    void RemoveBoardItems(uint32_t boardId);
    void RemoveBoard(uint32_t boardId);
    std::shared_ptr<CQelBoard> GetBoardAt(size_t index) const;
    std::shared_ptr<CQelBoard> GetBoard(uint32_t id) const;
    std::vector<std::shared_ptr<CQelBoard>> GetBoards() const;
    size_t GetBoardCount() const;
    std::shared_ptr<CQelBoard> GetBoardBySlot(uint32_t slot) const;

    // Output resolution and the list of resolutions the device offers.
    Resolution GetOutputResolution() const;
    // Ignored unless all three are above 0; a change is announced.
    void SetOutputResolution(int32_t width, int32_t height, int32_t rate);
    // Takes what the device reports as it is: no check and no event.
    void SetOutputResolutionQuietly(const Resolution& resolution);
    uint32_t GetOutputResolutionId() const;
    void SetOutputResolutionId(uint32_t id);
    std::vector<ResolutionEntry> GetResolutionList() const;
    void SetResolutionList(const std::vector<ResolutionEntry>& list);
    void AddResolution(const ResolutionEntry& entry);
    Resolution GetResolutionById(uint32_t id) const;       // 1920, 1080, 60 when absent
    Resolution GetResolutionByIdOrZero(uint32_t id) const; // 0, 0, 60 when absent
    uint32_t FindResolutionId(const Resolution& resolution) const;
    bool HasResolutionId(uint32_t id) const;
    void RemoveCustomResolution();
    int32_t GetCustomizeResolutionSwitch() const;
    void SetCustomizeResolutionSwitch(int32_t value);

    // The processor file's part. Loaded records are made adopted but not yet
    // shown to anyone, so the lock is held only to take them over.
    struct Loaded {
        std::vector<std::shared_ptr<CQelBoard>> boards;
        std::vector<std::shared_ptr<CQelSigSrc>> sources;
        std::vector<std::shared_ptr<CQelSigSrc>> splits;
        std::vector<std::shared_ptr<CQelSigOut>> outputs;
    };
    Loaded MakeLoaded(const ProcessorFileData& data);
    // These and the two below are called with the lock held.
    void CommitLocked(const ProcessorFileData& data, Loaded records);
    void SnapshotLocked(ProcessorFileData& data) const;
    // False when there is no such source or it has the name already.
    bool RenameSigSrcLocked(uint32_t id, const std::string& name);
    Resolution OutputResolutionLocked() const { return outputResolution_; }

private:
    // Takes a record into the processor; false when it already belongs to
    // another one. Called under the lock, or before anyone else sees the
    // record.
    template <class Record>
    bool AdoptRecord(Record& record);
    void RemoveSigSrcLocked(uint32_t id, PendingEvents& events);
    void RemoveBoardItemsLocked(const CQelBoard& board, PendingEvents& events);

    CQelProcessor& owner_;
    std::shared_ptr<ProcessorLock> lock_;

    std::vector<std::shared_ptr<CQelSigSrc>> sigSrcs_;
    std::vector<std::shared_ptr<CQelSigSrc>> splitSrcs_;
    std::vector<std::shared_ptr<CQelSigOut>> sigOuts_;
    // From a connect until discovery reports an output: the outputs as they
    // were, which the file keeps, so a link that never comes up empties
    // nothing the wall's connections name.
    std::optional<std::vector<CQelSigOut::Values>> outputsBeforeDiscovery_;
    std::vector<std::shared_ptr<CQelBoard>> boards_;
    Resolution outputResolution_{1920, 1080, 60};
    uint32_t outputResolutionId_ = CQelProcessor::kDefaultResolutionId;
    std::vector<ResolutionEntry> resolutions_;
    int32_t customizeResolution_ = 0;
};

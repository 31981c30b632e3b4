#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "model/model_values.h"

struct ProcessorLock; // model/model_types.h

class CQelBoard;
class CQelProcessor;

// The picture of one output port; its id is board id * 100 + port.
class CQelSigOut {
public:
    struct Values {
        uint32_t id = kNoId;
        std::string name;
        uint32_t ownerId = kNoId; // processor id
        uint32_t boardId = kNoId;
        Resolution resolution{0, 0, 60};
        friend bool operator==(const Values&, const Values&) = default;
    };

    explicit CQelSigOut(uint32_t id = kNoId);
    // Owner and board are not taken from the values: the owner is set when
    // the output is added, the board with SetBoard.
    explicit CQelSigOut(const Values& values);
    virtual ~CQelSigOut() = default;
    CQelSigOut(const CQelSigOut&) = delete;
    CQelSigOut& operator=(const CQelSigOut&) = delete;

    uint32_t GetId() const { return id_; }
    std::string GetName() const;
    void SetName(const std::string& name);
    std::shared_ptr<CQelBoard> GetBoard() const;
    uint32_t GetBoardId() const;
    void SetBoard(const std::shared_ptr<CQelBoard>& board);
    Resolution GetResolution() const;
    void SetResolution(const Resolution& resolution);
    uint32_t GetOwnerId() const;
    std::shared_ptr<CQelProcessor> GetOwner() const;
    Values GetValues() const;

    // True when id, resolution, name, owner and board are all equal.
    bool Equals(const CQelSigOut& other) const;

private:
    friend class ProcessorRecords;

    Values ValuesLocked() const;

    const uint32_t id_;
    std::string name_;
    std::weak_ptr<CQelBoard> board_;
    Resolution resolution_{0, 0, 60};
    std::shared_ptr<ProcessorLock> lock_;
    std::weak_ptr<CQelProcessor> owner_;
};

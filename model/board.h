#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "model/model_values.h"

struct ProcessorLock; // model/model_types.h

class CQelProcessor;

// A board in a slot of the processor. Input boards (types 1 to 9) have the
// slot as id, output boards (types 12 to 23) 100 plus the slot.
class CQelBoard {
public:
    struct Values {
        uint32_t id = kNoId;
        std::string name;
        uint32_t ownerId = kNoId; // processor id
        int32_t type = 0;
        int32_t scaler = 0;
        int32_t portCount = 0;
        friend bool operator==(const Values&, const Values&) = default;
    };

    explicit CQelBoard(uint32_t id = kNoId);
    // Owner is not taken from the values: it is set when the board is added.
    explicit CQelBoard(const Values& values);
    virtual ~CQelBoard() = default;
    CQelBoard(const CQelBoard&) = delete;
    CQelBoard& operator=(const CQelBoard&) = delete;

    uint32_t GetId() const { return id_; }
    std::string GetName() const;
    void SetName(const std::string& name);
    int32_t GetType() const;
    void SetType(int32_t type);
    int32_t GetScaler() const;
    void SetScaler(int32_t scaler);
    int32_t GetPortCount() const;
    void SetPortCount(int32_t count);
    uint32_t GetOwnerId() const;
    std::shared_ptr<CQelProcessor> GetOwner() const;
    Values GetValues() const;

    static bool IsInputType(int32_t type) { return type >= 1 && type <= 9; }
    static bool IsOutputType(int32_t type) { return type >= 12 && type <= 23; }

private:
    friend class ProcessorRecords;

    Values ValuesLocked() const;

    const uint32_t id_;
    std::string name_;
    int32_t type_ = 0;
    int32_t scaler_ = 0;
    int32_t portCount_ = 0;
    // Set once, when a processor adopts the board.
    std::shared_ptr<ProcessorLock> lock_;
    std::weak_ptr<CQelProcessor> owner_;
};

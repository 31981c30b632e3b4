#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/model_values.h"

struct ProcessorLock; // model/model_types.h

class CQelBoard;
class CQelProcessor;
class CQelSigSrc;
class PendingEvents;

// One of the pictures an input can deliver (DVI, VGA, one of four videos).
class CQelChildSigSrc {
public:
    struct Values {
        uint32_t id = kNoId;
        int32_t type = 0;
        std::string name;
        Resolution resolution{0, 0, 60};
        uint32_t routingId = kNoId;
        friend bool operator==(const Values&, const Values&) = default;
    };

    explicit CQelChildSigSrc(const Values& values);
    CQelChildSigSrc(const CQelChildSigSrc&) = delete;
    CQelChildSigSrc& operator=(const CQelChildSigSrc&) = delete;

    uint32_t GetId() const { return id_; }
    int32_t GetType() const { return type_; }
    std::string GetName() const { return name_; }
    uint32_t GetRoutingId() const { return routingId_; }
    Resolution GetResolution() const;
    // A four-way input reports each of its pictures on its own.
    void SetResolution(const Resolution& resolution);
    std::shared_ptr<CQelSigSrc> GetParent() const { return parent_.lock(); }
    Values GetValues() const;

private:
    friend class CQelSigSrc;
    friend class ProcessorRecords;

    const uint32_t id_;
    const int32_t type_;
    const std::string name_;
    const uint32_t routingId_;
    Resolution resolution_;
    std::weak_ptr<CQelSigSrc> parent_;
    std::shared_ptr<ProcessorLock> lock_;
};

// An input signal source of a processor.
class CQelSigSrc : public std::enable_shared_from_this<CQelSigSrc> {
public:
    using Adjust = std::array<int32_t, 4>;

    struct Values {
        uint32_t id = kNoId;
        int32_t type = 0;
        std::string name;
        uint32_t ownerId = kNoId; // processor id
        uint32_t boardId = kNoId;
        bool joined = false;
        uint32_t edid = 0;
        Point startPoint;
        Resolution resolution{1920, 1080, 60};
        uint32_t mutualGroupId = kNoId;
        uint32_t curChildId = kNoId;
        std::vector<CQelChildSigSrc::Values> children;
        Adjust adjust{0, 128, 128, 0};
        friend bool operator==(const Values&, const Values&) = default;
    };

    static constexpr int32_t kTypeVideo4 = 10; // four-way composite decoder
    static constexpr int32_t kType4K = 13;     // shown as four quarter sources
    static constexpr int32_t kQuarterCount = 4;
    static constexpr int32_t kTypeVgaDvi = 101; // DVI, VGA and YPbPr children

    explicit CQelSigSrc(uint32_t id = kNoId);
    // Takes the plain fields of the values; children are added with
    // AddChild, the board with SetBoard, the owner when the source is added.
    explicit CQelSigSrc(const Values& values);
    CQelSigSrc(const CQelSigSrc&) = delete;
    CQelSigSrc& operator=(const CQelSigSrc&) = delete;

    uint32_t GetId() const { return id_; }
    int32_t GetType() const;
    void SetType(int32_t type);
    std::string GetName() const;
    void SetName(const std::string& name);
    uint32_t GetOwnerId() const;
    std::shared_ptr<CQelProcessor> GetOwner() const;
    std::shared_ptr<CQelBoard> GetBoard() const;
    uint32_t GetBoardId() const;
    void SetBoard(const std::shared_ptr<CQelBoard>& board);
    uint32_t GetEdid() const;
    void SetEdid(uint32_t edid);
    Point GetStartPoint() const;
    void SetStartPoint(const Point& point);
    uint32_t GetMutualGroupId() const;
    void SetMutualGroupId(uint32_t id);
    Adjust GetAdjust() const;
    // Indexes outside 0 to 3 are ignored.
    void SetAdjust(size_t index, int32_t value);
    Values GetValues() const;

    bool IsJoined() const;
    // Posts the join event when the value changes.
    void SetJoined(bool joined);
    Resolution GetResolution() const;
    // A valid resolution (all three at least 1) joins the source and, when
    // it differs, is stored and announced; an invalid one only unjoins it.
    void SetResolution(int32_t width, int32_t height, int32_t rate);

    // False when a child with the id exists.
    bool AddChild(uint32_t id, int32_t type, const std::string& name, const Resolution& resolution, uint32_t routingId);
    size_t GetChildCount() const;
    std::shared_ptr<CQelChildSigSrc> GetChildAt(size_t index) const;
    std::shared_ptr<CQelChildSigSrc> GetChild(uint32_t id) const;
    std::vector<std::shared_ptr<CQelChildSigSrc>> GetChildren() const;
    uint32_t GetCurChildId() const;
    // Takes the child's resolution and announces the change; false when no
    // child has the id.
    bool SelectChild(uint32_t childId);

    void ResetAdjust();
    // The state after a processor reset.
    void ResetDefaults();

    static Adjust DefaultAdjust(int32_t type);

private:
    friend class ProcessorRecords;

    void Adopt(const std::shared_ptr<ProcessorLock>& lock, const std::weak_ptr<CQelProcessor>& owner);
    uint32_t OwnerIdLocked() const;
    Values ValuesLocked() const;
    void SetJoinedLocked(bool joined, PendingEvents& events);
    bool SelectChildLocked(uint32_t childId, PendingEvents& events);

    const uint32_t id_;
    int32_t type_ = 0;
    std::string name_;
    std::weak_ptr<CQelBoard> board_;
    bool joined_ = false;
    uint32_t edid_ = 0;
    Point startPoint_;
    Resolution resolution_{1920, 1080, 60};
    uint32_t mutualGroupId_ = kNoId;
    uint32_t curChildId_ = kNoId;
    std::vector<std::shared_ptr<CQelChildSigSrc>> children_;
    Adjust adjust_{0, 128, 128, 0};
    // Set once, when a processor adopts the source.
    std::shared_ptr<ProcessorLock> lock_;
    std::weak_ptr<CQelProcessor> owner_;
};

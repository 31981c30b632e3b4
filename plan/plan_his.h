#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plan/window.h"

// One undo entry: the plan's windows as they were after one user action.
class CQelPlanHis {
public:
    CQelPlanHis(int32_t serial, int32_t kind, int32_t windowIdCounter,
                std::vector<std::shared_ptr<CQelWindow>> windows);
    virtual ~CQelPlanHis();

    int32_t GetSerial() const { return serial_; }
    int32_t GetKind() const { return kind_; }
    int32_t GetWindowIdCounter() const { return windowIdCounter_; }
    // The snapshot; the records are the entry's own and must not be changed.
    const std::vector<std::shared_ptr<CQelWindow>>& GetWindows() const { return windows_; }

    // The name of the entry's action kind ("新建方案" ... "窗口吸附").
    std::string GetActionName() const;
    // The name of kind 1 to 18; empty for any other kind.
    static std::string ActionName(int32_t kind);

private:
    int32_t serial_;
    int32_t kind_;
    int32_t windowIdCounter_;
    std::vector<std::shared_ptr<CQelWindow>> windows_;
};

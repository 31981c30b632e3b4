#pragma once
// What one window's tentative placement changed, so that a failed attempt
// is undone at the cost of what it touched rather than of a copy of the
// whole placement context. Outside an attempt nothing is kept.
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

class CPlacementUndo {
public:
    void Begin()
    {
        undo_.clear();
        active_ = true;
    }
    void Commit()
    {
        undo_.clear();
        active_ = false;
    }
    // Puts back every kept value, the latest change first.
    void Rollback()
    {
        for (auto it = undo_.rbegin(); it != undo_.rend(); ++it)
            (*it)();
        Commit();
    }

    // Keeps the value as it is now; call before changing it.
    template <class T>
    void Keep(T& field)
    {
        if (active_)
            undo_.push_back([&field, old = field]() mutable { field = std::move(old); });
    }
    // Keeps the length of a list that the attempt only appends to.
    template <class T>
    void KeepSize(std::vector<T>& items)
    {
        if (active_)
            undo_.push_back(
                [&items, n = items.size()] { items.erase(items.begin() + std::ptrdiff_t(n), items.end()); });
    }

private:
    std::vector<std::function<void()>> undo_;
    bool active_ = false;
};

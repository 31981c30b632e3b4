#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// Lookups over lists of shared records that carry their id (processors,
// boards, outputs, plans); both hand out a copy of the pointer.

// The element of `list` whose id equals `id` (the first), empty when none.
template <class T>
std::shared_ptr<T> FindSharedById(decltype(std::declval<const T&>().GetId()) id,
                                  const std::vector<std::shared_ptr<T>>& list)
{
    for (const auto& item : list)
        if (item && item->GetId() == id)
            return item;
    return nullptr;
}

// The element at `index`, empty when the index is negative or past the end.
template <class T>
std::shared_ptr<T> SharedAtIndex(std::ptrdiff_t index, const std::vector<std::shared_ptr<T>>& list)
{
    if (index < 0 || static_cast<size_t>(index) >= list.size())
        return nullptr;
    return list[static_cast<size_t>(index)];
}

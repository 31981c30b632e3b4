#pragma once
#include <cstddef>
#include <cstdint>

namespace _8PART_NS {

// Rows of one processor model (model code = the processor's kind).
template <class Row>
struct ModelTable {
    int32_t modelCode;
    size_t rowCount;
    const Row* rows;
};

// The kind of the processor selected in the context; false when no
// processor is selected or the selected id names none.
bool SelectedModelCode(int32_t* code);

// The entry for the selected processor's model; null when there is none.
template <class Row>
const ModelTable<Row>* SelectModelTable(const ModelTable<Row>* entries, size_t n)
{
    int32_t code = 0;
    if (!SelectedModelCode(&code))
        return nullptr;
    for (size_t i = 0; i < n; ++i) {
        if (entries[i].modelCode == code)
            return &entries[i];
    }
    return nullptr;
}

} // namespace _8PART_NS

#include "builder/model_table.h"

#include "context/context.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/shared_lookup.h"

namespace _8PART_NS {

bool SelectedModelCode(int32_t* code)
{
    const int selected = CQelContext::GetSelProcessorId();
    if (selected < 0)
        return false;
    const auto processor = FindSharedById(uint32_t(selected), CQelContext::GetProMan()->GetProcessors());
    if (!processor)
        return false;
    *code = processor->GetKind();
    return true;
}

} // namespace _8PART_NS

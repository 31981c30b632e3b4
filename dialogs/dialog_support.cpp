#include "dialogs/dialog_support.h"

#include "context/context.h"
#include "core/language_tr.h"
#include "model/processor_manager.h"

std::shared_ptr<CQelProcessor> CurrentProcessor()
{
    const int id = CQelContext::GetSelProcessorId();
    if (id < 0)
        return nullptr;
    return CQelContext::GetProMan()->FindById(uint32_t(id));
}

#include "dialogs/preset_slots.h"

#include "dialogs/dialog_texts.h"
#include "model/processor.h"
#include "model/processor_jobs.h"
#include "model/processor_settings.h"

#include <algorithm>

int SlotOfButtonId(int id)
{
    const auto it = std::find(kSlotButtonIds.begin(), kSlotButtonIds.end(), id);
    return it == kSlotButtonIds.end() ? 0 : int(it - kSlotButtonIds.begin()) + 1;
}

bool SlotEnabled(const CQelProcessor* processor, int slot)
{
    return !processor || slot <= processor->settings().GetAppOptions().planPatternCount;
}

std::optional<const char*> RecallSlot(CQelProcessor* processor, int slot)
{
    if (!processor)
        return std::nullopt;
    if (!processor->IsConnected())
        return dlgtext::kNotConnected;
    // Jobs start only on the UI thread, which runs this, so the answer holds
    // until the request.
    if (processor->GetJobState() != CQelProcessor::kJobIdle)
        return dlgtext::kRecallFailed;
    return processor->jobs().RecallPreset(slot) == 1 ? dlgtext::kRecallDone : dlgtext::kRecallFailed;
}

std::optional<const char*> SlotNameProblem(const std::string& name)
{
    if (name.empty())
        return dlgtext::kEmptySlotName;
    if (name.size() > kSlotNameMaxBytes)
        return dlgtext::kSlotNameTooLong;
    return std::nullopt;
}

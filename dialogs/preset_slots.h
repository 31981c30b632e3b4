#pragma once
// The processor's preset slots as the slot dialogs show them: the buttons'
// control ids, which slots can be chosen, recalling a slot and checking a
// new slot name. Free of any window.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class CQelProcessor;

inline constexpr int kSlotCount = 20;
inline constexpr int kDefaultLayoutButton = 1078; // recalls slot 0
// The processor file keeps at most this many bytes of a slot name.
inline constexpr size_t kSlotNameMaxBytes = 259;

// Control id of each slot's button, slot 1 first; both slot dialogs use it.
inline constexpr std::array<int, kSlotCount> kSlotButtonIds = {1046, 1048, 1050, 1052, 1054, 1056, 1058,
                                                               1047, 1049, 1051, 1053, 1055, 1057, 1059,
                                                               1060, 1062, 1064, 1061, 1063, 1065};

// The slot whose button has this control id; 0 for none.
int SlotOfButtonId(int id);

// Whether slot k (1 to 20) can be chosen: up to the processor's slot count,
// every slot without a processor.
bool SlotEnabled(const CQelProcessor* processor, int slot);

// Recalls slot n (0 the default layout) on the processor and gives the
// message to show (untranslated); nothing without a processor. A running
// job would refuse the recall while reporting it done, so it is not asked.
std::optional<const char*> RecallSlot(CQelProcessor* processor, int slot);

// Why a new slot name is refused (untranslated message); nothing when the
// name can be stored as it is.
std::optional<const char*> SlotNameProblem(const std::string& name);

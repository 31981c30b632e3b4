#pragma once
#include <cstdint>
#include <string>

// The display name of a source or output of a processor of the given model
// (empty for models other than 7 to 10). An input named in the processor
// file keeps that name; others get a numbered name with the type name of
// `kind`. The file is read anew on every call.
std::string LoadProcessorPortNames(uint32_t id, int32_t model, int32_t kind);

// The type name of a source kind in numbered input names.
const char* InputTypeName(int32_t kind);

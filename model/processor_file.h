#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "model/board.h"
#include "model/processor.h"
#include "model/sig_out.h"
#include "model/sig_src.h"

// Everything Processor.pro holds, as plain values: what the loader reads
// before anything of the processor changes, and what a save writes.
struct ProcessorFileData {
    int32_t kind = 0;
    std::string name;
    int32_t obm = CQelProcessor::kDefaultObm;
    int32_t authorization = 0;
    CQelProcessor::AppOptions app;
    CQelProcessor::Connection connection;
    std::vector<CQelBoard::Values> boards;
    int32_t sourceScaler = 0;
    std::vector<CQelSigSrc::Values> sources;
    uint32_t outputResolutionId = CQelProcessor::kDefaultResolutionId;
    std::vector<CQelSigOut::Values> outputs;
    CQelProcessor::Wall wall;
    std::vector<CQelProcessor::ResolutionEntry> resolutions;
    int32_t customizeResolution = 0;
    std::map<int32_t, std::string> planNames;
    friend bool operator==(const ProcessorFileData&, const ProcessorFileData&) = default;
};

// What a first start writes: the standard output modes, the default mode
// among them, and every preset slot in use.
ProcessorFileData FirstStartProcessorFile();

// Reads the text of a processor file. False, with the reason, when it is
// not well-formed, not version "V1", lacks a required element or attribute
// or holds a number that is not one.
bool ParseProcessorFile(const std::string& text, ProcessorFileData& data, std::string& reason);

// The file's text: UTF-8, one tab a level, sources by ascending id.
std::string WriteProcessorFile(const ProcessorFileData& data, uint8_t netType);

// Renames source `id` in the file's text, rewriting its element's
// attributes in the file's order and keeping everything else. False when
// the text cannot be read or holds no such source.
bool RenameSourceInFile(std::string& text, uint32_t id, const std::string& name, std::string& reason);

// A preset name cut to what its slot holds, at a character boundary.
std::string CutPlanName(const std::string& name);

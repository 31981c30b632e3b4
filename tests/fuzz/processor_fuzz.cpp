// Processor.pro: the processor loads what the parser reads, saves it, and
// the saved file loads to the same content; renaming a source rewrites the
// file and changes nothing else.
#include <algorithm>
#include <memory>
#include <string>

#include "model/net_type.h"
#include "model/processor.h"
#include "model/processor_file.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// One processor for every input: each one starts a sender thread.
std::shared_ptr<CQelProcessor> g_processor;

const char kNewName[] = "改名 <1>";

// The file's content as the writer puts it: sources by id, and the four
// switches, read as numbers, as 0 or 1.
ProcessorFileData Read(const std::string& text, const char* what)
{
    ProcessorFileData data;
    std::string reason;
    fuzz::Require(ParseProcessorFile(text, data, reason), std::string(what) + ": " + reason);
    std::stable_sort(data.sources.begin(), data.sources.end(),
                     [](const auto& a, const auto& b) { return a.id < b.id; });
    for (int32_t* flag : {&data.app.segWindowPoorTip, &data.app.videoWindowInvalidRectTip,
                          &data.app.disableResourcePoorTip, &data.customizeResolution})
        *flag = *flag != 0;
    return data;
}

// The first part of the content that differs, for the report.
std::string Difference(const ProcessorFileData& a, const ProcessorFileData& b)
{
    if (a.kind != b.kind || a.name != b.name || a.obm != b.obm || a.authorization != b.authorization)
        return "processor";
    if (!(a.app == b.app))
        return "app";
    if (!(a.connection == b.connection))
        return "connection";
    if (a.boards != b.boards)
        return "boards";
    if (a.sources != b.sources || a.sourceScaler != b.sourceScaler)
        return "sources";
    if (a.outputs != b.outputs || a.outputResolutionId != b.outputResolutionId)
        return "outputs";
    if (!(a.wall == b.wall))
        return "wall";
    if (a.resolutions != b.resolutions || a.customizeResolution != b.customizeResolution)
        return "resolutions";
    return "plan names";
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterWorkFolder();
    g_processor = std::make_shared<CQelProcessor>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(fuzz::Bytes(data, size));
    const std::string path = CQelProcessor::ProFilePath();
    fuzz::PutFile(path, input);

    ProcessorFileData parsed;
    std::string reason;
    const bool readable = ParseProcessorFile(input, parsed, reason);
    const bool loaded = g_processor->LoadPro(path);
    fuzz::Require(readable == loaded, "the loader and the parser disagree");
    if (!loaded) {
        fuzz::Require(fuzz::GetFile(path + ".bad") == input, "a damaged file is not kept as .bad");
        return 0;
    }

    fuzz::Require(g_processor->SavePro(), "a loaded processor file does not save");
    const std::string saved = fuzz::GetFile(path);
    fuzz::RequireSame(WriteProcessorFile(parsed, g_NetType.load()), saved,
                      "the processor does not keep what its file holds");
    const ProcessorFileData first = Read(input, "the input");
    const ProcessorFileData second = Read(saved, "the saved file does not load");
    fuzz::Require(first == second, "the saved file loads to other " + Difference(first, second));
    fuzz::Require(g_processor->LoadPro(path) && g_processor->SavePro(), "the saved file does not load");
    fuzz::RequireSame(saved, fuzz::GetFile(path), "the file changes from one save to the next");

    if (second.sources.empty())
        return 0;
    const uint32_t id = second.sources.front().id;
    g_processor->SaveSigSrcsToPro(kNewName, id);
    ProcessorFileData renamed = Read(fuzz::GetFile(path), "the file of a renamed source does not load");
    const auto source =
        std::find_if(renamed.sources.begin(), renamed.sources.end(), [id](const auto& s) { return s.id == id; });
    fuzz::Require(source != renamed.sources.end() && source->name == kNewName, "the renamed source is not in the file");
    source->name = second.sources.front().name;
    fuzz::Require(renamed == second, "renaming a source changes its " + Difference(renamed, second));
    return 0;
}

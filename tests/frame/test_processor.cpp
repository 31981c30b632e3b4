#include "tests/frame/test_processor.h"

#include <string>

#include "model/kinds.h"
#include "model/processor.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "tests/builder/sender_test_support.h"
#include "tests/frame/sig_src_sources.h"

namespace {

// A TCP link on loopback at `port` and no serial search.
void SetTestLink(CQelProcessor& processor, const std::string& port)
{
    auto connection = processor.settings().GetConnection();
    connection.tcpAddress = "127.0.0.1";
    connection.tcpPort = port;
    connection.serialAutoDetect = 0;
    processor.settings().SetConnection(connection);
}

} // namespace

std::shared_ptr<CQelProcessor> MakeTestProcessor(bool withSource)
{
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    processor->SetKind(3);
    AddTestBoards(*processor, {{1, 1}, {2, 2}});
    if (withSource)
        AddTestSource(*processor, 100, 1920, 1080);
    SetTestOutputs(*processor, {201, 202, 203, 204}, {{{0, 0}, 201}, {{0, 1}, 202}, {{1, 0}, 203}, {{1, 1}, 204}});
    auto wall = processor->GetWall();
    wall.rows = 2;
    wall.cols = 2;
    processor->SetWall(wall);
    SetTestLink(*processor, "9");
    return processor;
}

std::shared_ptr<CQelProcessor> MakeModelEightProcessor(uint16_t port)
{
    auto p = std::make_shared<CQelProcessor>();
    p->SetId(1);
    p->SetKind(8);
    p->SetName("8x8Pro处理器");
    AddTestBoards(*p, {{1, 1}, {2, 1}, {109, 12}});
    for (uint32_t id : {100u, 101u, 200u, 201u}) {
        auto source = NewSource(id, kSrcHdmi);
        source->SetResolution(1920, 1080, 60);
        source->SetBoard(p->GetBoard(id / 100));
        p->AddSigSrc(source, false, false);
    }
    SetTestOutputs(*p, {10900, 10901, 10902, 10903},
                   {{{0, 0}, 10900}, {{0, 1}, 10901}, {{1, 0}, 10902}, {{1, 1}, 10903}});
    auto wall = p->GetWall();
    wall.rows = 2;
    wall.cols = 2;
    wall.rowHeights = {1080, 1080};
    wall.colWidths = {1920, 1920};
    p->SetWall(wall);
    p->SetOutputResolution(1920, 1080, 60);
    SetTestLink(*p, std::to_string(port));
    auto options = p->settings().GetAppOptions();
    options.planPatternCount = 8;
    p->settings().SetAppOptions(options);
    return p;
}

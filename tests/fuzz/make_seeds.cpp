// Writes the seed corpus of every fuzz target into <folder>/<target>/,
// each seed made by the program's own save functions (the pictures by Qt's
// writers, the replies as the processor sends them). Run at build time.
#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/config.h"
#include "context/context.h"
#include "corlane/app_path.h"
#include "corlane/dbf.h"
#include "corlane/rsfile.h"
#include "model/input_osd.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_file.h"
#include "plan/cycle_plan.h"
#include "plan/plan.h"
#include "plan/plan_file.h"
#include "plan/plan_manager.h"
#include "plan/plan_store.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/plan_input.h"
#include "tests/fuzz/sample_processor.h"

namespace fs = std::filesystem;

namespace {

fs::path g_out;

void Seed(const std::string& target, const std::string& name, std::string_view bytes)
{
    fs::create_directories(g_out / target);
    std::ofstream(g_out / target / name, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

std::string Selected(uint8_t selector, std::string_view file)
{
    return std::string(1, char(selector)) + std::string(file);
}

void DbfSeeds()
{
    using namespace qz::vok::dbf;
    dbf_fieldinfo_t fields[3] = {};
    std::strcpy(fields[0].name, "NAME");
    fields[0].data_type = 'C';
    fields[0].width = 10;
    std::strcpy(fields[1].name, "AGE");
    fields[1].data_type = 'N';
    fields[1].width = 5;
    std::strcpy(fields[2].name, "RATE");
    fields[2].data_type = 'N';
    fields[2].width = 8;
    fields[2].decimal = 2;
    dbf table;
    table.create(0x03, 124, 5, 17, fields, 3, 2);
    const char* const rows[][3] = {{"Anna", "42", "1.50"}, {"Bo", "-7", "x"}, {"", " 12 ", "1e3"}};
    for (const auto& row : rows) {
        const dbf_record r = table.add_record();
        for (uint16_t i = 0; i < 3; ++i)
            r[i] = row[i];
    }
    table.get_record(1).set_delete();
    table.save("table.dbf");
    Seed("dbf", "three_records", fuzz::GetFile("table.dbf"));
    table.clear_all_deleted_records();
    table.save("table.dbf");
    Seed("dbf", "deleted_dropped", fuzz::GetFile("table.dbf"));
}

void RsfileSeeds()
{
    using namespace qz::vok::rs;
    const fieldinfo_t table[3] = {{1, 0, 4, 1}, {2, 0, 2, 2}, {7, 0, 8, 3}};
    {
        rsfile file;
        file.create("records.rs", 3, table, 6);
        file.set_flag(0x5A);
        file.set_version(2);
        std::memcpy(file.get_exheadptr(), "extra!", 6);
        for (uint8_t fill : {0x11, 0x22, 0x33}) {
            file.begin_append();
            std::memset(file.get_record(), fill, file.get_recsize());
            file.flush();
        }
    }
    Seed("rsfile", "three_records", fuzz::GetFile("records.rs"));
}

void SettingsSeeds()
{
    CQelConfig config;
    config.Load();
    config.SetString("MainFrm.Pssword", "密码=1");
    config.SetString("Main.Language", "1");
    config.SetBool("MulSView.AutoExecute", false);
    config.Save();
    Seed("settings", "main_ini", Selected(0, fuzz::GetFile(qz::vok::path::GetSysPath() + "/Main.ini")));
    Seed("settings", "view_ini", Selected(1, fuzz::GetFile(qz::vok::path::GetSysPath() + "/MultiScreenView.ini")));
    // The translation table is made by hand and only read.
    Seed("settings", "language_tr",
         Selected(2, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<LanguageTr>\n"
                     "\t<Tr CHN=\"文件\" ENG=\"File\"/>\n\t<Tr CHN=\"方案\" ENG=\"Plan &amp; wall\"/>\n"
                     "\t<Tr CHN=\"空\"/>\n</LanguageTr>\n"));
    Seed("settings", "tolm_ini", Selected(3, "[LOG]\nLOGLEVEL=3\n"));
}

void ProcessorSeeds()
{
    for (const int32_t kind : {8, 1, 9})
        Seed("processor", "kind_" + std::to_string(kind), WriteProcessorFile(fuzz::SampleProcessor(kind), 0));
}

void InputOsdSeeds()
{
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetKind(8);
    auto& store = processor->GetInputOsd();
    store.Load();
    std::vector<uint8_t> bits(64 / 8 * 32);
    for (size_t i = 0; i < bits.size(); ++i)
        bits[i] = uint8_t(i * 37);
    store.SetItemBitmap(0, 1, bits, 0, 0, 64, 32);
    store.SetItemColorA(0, 1, 0x102030);
    store.SetItemFlagA(1, 2, 0);
    store.SetItemPairE(2, 3, 10, 20);
    store.SetItemValueF(3, 0, 1);
    store.SetItemPairG(3, 0, 5, 6);
    store.SetItemSize(3, 0, 100, 50);
    store.SetItemValueH(3, 0, 2);
    store.Save();
    // The target's first byte picks kind 8.
    Seed("iosd", "kind_8", Selected(1, fuzz::GetFile(CQelProcessor::CInputOSD::FilePath())));
    processor->link().StopSender();
}

std::shared_ptr<CQelPlan> MakePlan(const std::string& name, int32_t type)
{
    auto plan = std::make_shared<CQelPlan>();
    plan->SetName(name);
    plan->SetType(type);
    plan->SetGrid(2, 3);
    plan->SetCellSplit(2, 2);
    plan->SetResolution({1920, 1080, 60});
    plan->SetMargin(Rect{1, 2, 3, 4});
    if (type == kPlanSizedGrid) {
        plan->SetRowHeights({1080, 720});
        plan->SetColumnWidths({1920, 1280, 1920});
        plan->SetWatchOutputs({1103});
        auto watch = std::make_shared<CQelWatchWindow>();
        watch->processor = 1;
        watch->sigout = 1103;
        CellGrid::Reset(*watch, 2, 2);
        watch->cells = {100, -1, 101, 200};
        plan->AddWatchWindow(watch);
    }
    if (type == kPlanSwitch) {
        plan->SetSwitch(1100, 100);
        plan->SetSwitch(1101, -1);
        plan->SetSwitch(1102, 200);
        return plan;
    }
    auto group = std::make_shared<CQelGroup>();
    group->id = 1;
    group->name = "组 1";
    plan->AddGroup(group);

    auto video = std::make_shared<CQelWindow>();
    video->processor = 1;
    video->sigsrc = 100;
    video->rect = Rect{0, 0, 1920, 1080};
    video->rcsigsrc = Rect{10, 10, 800, 600};
    video->szsigsrcfull = Size{1920, 1080};
    video->rcsigsrcinner = Rect{0, 0, 960, 540};
    video->group = 1;
    plan->AddWindow(video, CurrentPlanSelection());
    video->name = "窗口 <1>";

    auto uhd = std::make_shared<CQelWindow>();
    uhd->processor = 1;
    uhd->sigsrc = 102;
    uhd->rect = Rect{100, 100, 3940, 2260};
    uhd->is4k = 1;
    uhd->fullscreen = true;
    uhd->status = 1;
    plan->AddWindow(uhd, CurrentPlanSelection());

    auto logo = std::make_shared<CQelWindow>();
    logo->processor = 1;
    logo->sigsrc = kLogoSigSrc;
    logo->rect = Rect{50, 60, 306, 188};
    logo->active = true;
    std::vector<uint8_t> bits(OsdBitmapBytes(40, 16));
    for (size_t i = 0; i < bits.size(); ++i)
        bits[i] = uint8_t(i * 13);
    OsdRecordSetBitmap(*logo->osd, bits, 0, 0, 40, 16);
    logo->osd->background = 0x00FF00;
    logo->osd->transparent = 0;
    plan->AddWindow(logo, CurrentPlanSelection());
    return plan;
}

void PlanSeeds()
{
    const std::string folder = qz::vok::path::GetPlanPath() + "/";
    for (const int32_t type : {kPlanUniform, kPlanSizedGrid, kPlanSwitch}) {
        const std::string name = "plan_type_" + std::to_string(type);
        std::string error;
        SavePlanFiles(*MakePlan(name, type), error);
        Seed("plan", name,
             fuzz::JoinPlanInput(fuzz::GetFile(folder + name + ".plan"), fuzz::GetFile(folder + name + ".osd")));
    }
}

// The plan list, a cycle plan and the cycle plan list, as the managers of
// the context save them.
void ListSeeds()
{
    const auto plans = CQelContext::GetPlanMan();
    for (const char* name : {"开场", "Wall A", "第二 plan"}) {
        auto plan = plans->CreatePlan(name);
        plan->SetGrid(1, 1);
        plan->SetResolution({1920, 1080, 60});
        plans->SavePlanFile(plan);
    }
    Seed("plan_list", "three_names", fuzz::GetFile(CQelPlanMan::PlanListPath()));

    const auto cycles = CQelContext::GetCyclePlanMan();
    auto cycle = std::make_shared<CQelCyclePlan>("轮巡");
    cycle->AddCell("开场");
    cycle->AddCell("Wall A");
    cycle->AddCell("开场");
    cycle->SetNumberOfCycles(3);
    cycles->Add(cycle);
    cycles->Add(std::make_shared<CQelCyclePlan>("Night"));
    cycles->SaveList();
    Seed("cycle", "three_cells", fuzz::GetFile(CQelCyclePlan::FilePath("轮巡")));
    Seed("cycle", "no_cells", fuzz::GetFile(CQelCyclePlan::FilePath("Night")));
    Seed("cycle_list", "two_names", fuzz::GetFile(CQelCyclePlanMan::ListPath()));
}

void BitmapSeeds()
{
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.fillRect(5, 5, 20, 8, Qt::black);
    painter.end();
    const struct {
        const char* name;
        QImage image;
        const char* format;
    } pictures[] = {
        {"rgb.bmp", picture, "BMP"},
        {"mono.bmp", picture.convertToFormat(QImage::Format_Mono), "BMP"},
        {"indexed.bmp", picture.convertToFormat(QImage::Format_Indexed8), "BMP"},
        {"rgb.png", picture, "PNG"},
        {"grey.jpg", picture.convertToFormat(QImage::Format_Grayscale8), "JPEG"},
    };
    for (const auto& p : pictures) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (p.image.save(&buffer, p.format))
            Seed("bitmap", p.name, std::string_view(bytes.constData(), size_t(bytes.size())));
    }
}

// Replies of the kinds the dispatcher knows, as the processor sends them:
// the first byte picks the kind (4 + byte % 7), the second the block size.
void ReplySeeds()
{
    const struct {
        const char* name;
        uint8_t kind;
        uint8_t block;
        const char* lines;
    } seeds[] = {
        {"status", 4, 255,
         "GP TYPE 8 4\r\nGP GFPV 1 0x12\r\nGP GSFPV 2 7\r\nGP GFWV 3 1\r\nGP GSFWV 0 9\r\n"
         "GP GIPA 192 168 0 100\r\nGP GTPN 8978\r\nGP GSM 255 255 255 0\r\nGP GGW 192 168 0 1\r\n"
         "GP GMAC 1 2 3 4 5 6\r\nGP GIP1A 10 0 0 1\r\nGP GT1PN 5000\r\nGP GN1SM 255 0 0 0\r\n"
         "GP GN1GW 10 0 0 254\r\nGP GN1MAC 6 5 4 3 2 1\r\nGP LDM 1\r\nGP CDMS 1\r\n"},
        {"slots", 4, 16,
         "GP RISMG 2 1\r\nGP RISMG 3 2\r\nGP ROSMG 1 0\r\nGP RSMG 1 2 4 0\r\nGP RSMG 9 15 3 4\r\n"
         "GP RISMG 2 7\r\nGP ROSMG 1 1\r\n"},
        {"resolutions", 4, 7,
         "GP RISR 3 7 0 0 800 600\r\nI_F RISR 1 0 0 0 1920 1080 2 6000\r\n"
         "I_F RISR 1 0 100 50 1380 770 2 6000\r\nGP GOT 2 1 15 0 0 1920 1080\r\n"
         "INPUT_FPGA READ_INPUT_SOURCE_RESOLUTION 2 1 0 0 1920 1080 3 0\r\n"
         "SW GET_OUTPUT_TIMING 1 2 3\r\nSW READ_INPUT_SOURCE_RESOLUTION 1 0 0 0 1280 1024\r\n"},
        {"model_6", 2, 255,
         "BOARD READ_SLOT_MESSAGE 2 6\r\nBOARD READ_INPUT_SOURCE_RESOLUTION 2 1 5 6 720 576\r\n"
         "BOARD ADV7604_GET_CTRL 2 1 77\r\nBOARD TVP5158_GET_CTRL 2 9 3 50\r\n"
         "BOARD GET_INPUT_VIDEO_SWITCH 2 3\r\nBOARD GET_OUTPUT_RESOLUTION 1 1920 1080 60\r\n"},
        {"echoes", 5, 3,
         "I_F OSDSA 1 2 3\r\nO_F OSDSA 1 2 3\r\nGP SIATP 1 2\r\nGP SOT 1 3\r\nGP SDMI 1\r\n"
         "I_F SCALER_SETUP 1 2 3 4 5 6 7 8\r\nI_F BWRP 1 2 3 4 5 6 7 8\r\n"
         "O_F OSDWC 1 2 3 4 5\r\nK40750 UPDATA 1\r\nnoise \x01\xFF\r\n\r\n"},
    };
    for (const auto& s : seeds)
        Seed("reply", s.name, std::string{char(s.kind), char(s.block)} + s.lines);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    g_out = fs::absolute(argv[1]);
    fuzz::EnterWorkFolder();
    DbfSeeds();
    RsfileSeeds();
    SettingsSeeds();
    ProcessorSeeds();
    InputOsdSeeds();
    PlanSeeds();
    ListSeeds();
    BitmapSeeds();
    ReplySeeds();
    CQelContext::Destroy();
    return 0;
}

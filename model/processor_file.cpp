#include "model/processor_file.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>
#include <set>
#include <stdexcept>

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include "core/text_helpers.h"
#include "core/xml_attributes.h"
#include "core/xml_keys.h"
#include "core/xml_file.h"
#include "core/language_tr.h"
#include "model/net_type.h"

namespace pt = boost::property_tree;

namespace {

constexpr char kVersion[] = "V1";
using xml::kAttrs;
constexpr uint32_t kKind9OutputBase = 10000;
constexpr uint32_t kKind9OutputBoard = 100;
constexpr int32_t kKind9OutputCount = 4;
constexpr char kOutputCaption[] = "输出";
constexpr Resolution kDefaultOutputResolution{1920, 1080, 60};

using xml::FileError;
using xml::Key;
using xml::Required;

// A number from `Lo` to the top of T; one beyond is damage.
template <class T, int64_t Lo>
struct Number {
    T fallback = 0;
    T Read(const xml::Element& e, const char* attr) const
    {
        const auto value = e.Integer(attr);
        if (!value)
            return fallback;
        if (*value < Lo || *value > int64_t(std::numeric_limits<T>::max()))
            throw e.NotANumber(attr, *e.Text(attr));
        return static_cast<T>(*value);
    }
    std::string Write(T value) const { return std::to_string(value); }
};

using Int = Number<int32_t, std::numeric_limits<int32_t>::min()>;
// Unsigned ids; -1 (and its unsigned spelling) means no id.
using Uint = Number<uint32_t, -int64_t(std::numeric_limits<uint32_t>::max())>;

// Written as 0 or 1.
struct Digit : Int {
    std::string Write(int32_t value) const { return value != 0 ? "1" : "0"; }
};

struct RequiredInt : Int {
    int32_t Read(const xml::Element& e, const char* attr) const
    {
        if (!e.Text(attr))
            throw FileError("<" + e.Name() + "> lacks the attribute \"" + attr + "\"");
        return Int::Read(e, attr);
    }
};

using xml::Field;
using xml::Text;
using xml::TripleForm;

using Data = ProcessorFileData;
// "version" and "NetType" are written around these.
const Key<Data> kProcessorKeys[] = {
    Field("protype", &Data::kind, Int{}),
    Field("name", &Data::name, Text{}),
    Field("OBM", &Data::obm, Int{CQelProcessor::kDefaultObm}),
    Field("Authorization", &Data::authorization, RequiredInt{}),
};

using App = CQelProcessor::AppOptions;
const Key<App> kAppKeys[] = {
    Field("disableresourcepoortip", &App::disableResourcePoorTip, Digit{}),
    Field("videowindowinvalidrecttipenable", &App::videoWindowInvalidRectTip, Digit{}),
    Field("segwindowpoortipenable", &App::segWindowPoorTip, Digit{}),
    Field("planpatterncount", &App::planPatternCount, Int{}),
    Field("inflaterectEnable", &App::inflateEnable, Int{}),
    Field("inflaterectLeft", &App::inflateRect, &Rect::left, Int{}),
    Field("inflaterectRight", &App::inflateRect, &Rect::right, Int{}),
    Field("inflaterectTop", &App::inflateRect, &Rect::top, Int{}),
    Field("inflaterectBottom", &App::inflateRect, &Rect::bottom, Int{}),
    Field("algorithmID", &App::algorithmId, Int{}),
    Field("morebuttonswitch", &App::moreButtonSwitch, Int{}),
};

using Conn = CQelProcessor::Connection;
const Key<Conn> kConnectKeys[] = {
    Field("tcpaddr", &Conn::tcpAddress, Text{"192.168.0.100"}),
    Field("tcpport", &Conn::tcpPort, Text{"8978"}),
    Field("tcptype", &Conn::tcpType, Text{"0"}),
    Field("serialdevice", &Conn::serialDevice, Text{"COM1"}),
    Field("serialrate", &Conn::serialRate, Int{115200}),
    Field("autodectsdevice", &Conn::serialAutoDetect, Int{1}),
    Field("contype", &Conn::type, Int{1}),
};

using Board = CQelBoard::Values;
const Key<Board> kBoardKeys[] = {
    Field("id", &Board::id, Uint{kNoId}),         Field("name", &Board::name, Text{}),
    Field("type", &Board::type, Int{}),           Field("scaler", &Board::scaler, Int{}),
    Field("portcount", &Board::portCount, Int{}),
};

const Key<Data> kSignalSourceKeys[] = {Field("scaler", &Data::sourceScaler, Int{})};

using Source = CQelSigSrc::Values;
const Key<Source> kSourceKeys[] = {
    Field("id", &Source::id, Uint{kNoId}),
    Field("type", &Source::type, Int{}),
    Field("board", &Source::boardId, Uint{kNoId}),
    Field("name", &Source::name, Text{}),
    Field("EDID", &Source::edid, Uint{0}),
    Field("resolution", &Source::resolution, TripleForm()),
    Field("startpt", &Source::startPoint, xml::kPointForm),
    Field("mutualgroupid", &Source::mutualGroupId, Uint{kNoId}),
    Field("curchildid", &Source::curChildId, Uint{kNoId}),
};

using Child = CQelChildSigSrc::Values;
const Key<Child> kChildKeys[] = {
    Field("id", &Child::id, Uint{kNoId}),
    Field("type", &Child::type, Int{}),
    Field("name", &Child::name, Text{}),
    Field("resolution", &Child::resolution, TripleForm()),
    Field("routingid", &Child::routingId, Uint{kNoId}),
};

// The mode the outputs run in, as the chosen entry names it.
Resolution CurrentResolution(const Data& d)
{
    for (const auto& entry : d.resolutions)
        if (entry.id == d.outputResolutionId)
            return entry.resolution;
    return kDefaultOutputResolution;
}

const Key<Data> kSignalOutKeys[] = {
    Field("resolutionid", &Data::outputResolutionId, Uint{CQelProcessor::kDefaultResolutionId}),
    // Written for the processor's tools; what loads is the chosen entry.
    {"resolution", [](const xml::Element&, const char*, Data&) {},
     [](const Data& d) { return TripleToText(CurrentResolution(d)); }},
};

using Output = CQelSigOut::Values;
const Key<Output> kOutputKeys[] = {
    Field("id", &Output::id, Uint{0}),
    Field("name", &Output::name, Text{}),
    Field("board", &Output::boardId, Uint{kNoId}),
    Field("resolution", &Output::resolution, TripleForm("1920,1080")),
};

using Wall = CQelProcessor::Wall;
const Key<Wall> kWallKeys[] = {
    Field("rows", &Wall::rows, Int{1}),
    Field("cols", &Wall::cols, Int{1}),
    Field("margin", &Wall::margin, xml::kRectForm),
};
// Only kinds with cell sizes have these.
const Key<Wall> kCellSizeKeys[] = {
    Field("rh", &Wall::rowHeights, xml::kIntListForm),
    Field("cw", &Wall::colWidths, xml::kIntListForm),
    Field("watch", &Wall::watch, xml::kIntListForm),
};

// One wall cell and the output it shows.
struct CellLink {
    int32_t row = -1;
    int32_t col = -1;
    int32_t output = -1;
};
const Key<CellLink> kCellLinkKeys[] = {
    Field("row", &CellLink::row, Int{-1}),
    Field("col", &CellLink::col, Int{-1}),
    Field("sigout_id", &CellLink::output, Int{-1}),
};

using Entry = CQelProcessor::ResolutionEntry;
const Key<Entry> kResolutionKeys[] = {
    Field("id", &Entry::id, Uint{0}),
    Field("resolution", &Entry::resolution, TripleForm("1024,768")),
    Field("friendname", &Entry::friendName, Text{"1024,768"}),
};

const Key<Data> kOutResolutionsKeys[] = {Field("customizeresolutionswitch", &Data::customizeResolution, Digit{})};

struct PlanSlot {
    int32_t id = -1;
    std::string name;
};
const Key<PlanSlot> kPlanSlotKeys[] = {
    Field("id", &PlanSlot::id, Int{-1}),
    // A slot without a name is called by its number.
    {"friendname",
     [](const xml::Element& e, const char* attr, PlanSlot& slot) { slot.name = e.Text(attr, std::to_string(slot.id)); },
     [](const PlanSlot& slot) { return slot.name; }},
};

// The source's defaults that follow its type, and its children.
void FinishSource(Source& s, const pt::ptree& node)
{
    s.adjust = CQelSigSrc::DefaultAdjust(s.type);
    xml::ReadEach(node, "Child", kChildKeys, [&](Child child) {
        const bool repeated =
            std::any_of(s.children.begin(), s.children.end(), [&](const auto& o) { return o.id == child.id; });
        if (!repeated)
            s.children.push_back(std::move(child));
    });
}

void Parse(const pt::ptree& tree, Data& d)
{
    const pt::ptree& root = Required(tree, "Processor");
    const xml::Element processor(root, "Processor");
    if (processor.Text("version", "") != kVersion)
        throw FileError("the version is not \"V1\"");
    xml::ReadKeys(processor, kProcessorKeys, d);

    xml::ReadKeys(xml::Element(Required(root, "App"), "App"), kAppKeys, d.app);

    xml::ReadEach(Required(root, "PlanNameSet"), "PlanName", kPlanSlotKeys, [&](PlanSlot slot) {
        if (slot.id >= CQelProcessor::kFirstPlanSlot && slot.id <= CQelProcessor::kLastPlanSlot)
            d.planNames[slot.id] = CutPlanName(slot.name);
    });

    xml::ReadKeys(xml::Element(Required(root, "Connect"), "Connect"), kConnectKeys, d.connection);

    xml::ReadEach(Required(root, "Boards"), "Board", kBoardKeys, [&](Board b) {
        const bool repeated =
            std::any_of(d.boards.begin(), d.boards.end(), [&](const auto& o) { return o.id == b.id; });
        if (b.id != kNoId && !repeated)
            d.boards.push_back(std::move(b));
    });
    auto hasBoard = [&](uint32_t id) {
        return std::any_of(d.boards.begin(), d.boards.end(), [id](const auto& b) { return b.id == id; });
    };

    const pt::ptree& signalSource = Required(root, "SignalSource");
    xml::ReadKeys(xml::Element(signalSource, "SignalSource"), kSignalSourceKeys, d);
    xml::ReadEach(signalSource, "SigSrc", kSourceKeys, [&](Source s, const pt::ptree& node) {
        FinishSource(s, node);
        if (!hasBoard(s.boardId))
            s.boardId = kNoId;
        const bool repeated =
            std::any_of(d.sources.begin(), d.sources.end(), [&](const auto& o) { return o.id == s.id; });
        if (s.id != kNoId && !repeated)
            d.sources.push_back(std::move(s));
    });

    const pt::ptree& outResolutions = Required(root, "OutResolutions");
    xml::ReadKeys(xml::Element(outResolutions, "OutResolutions"), kOutResolutionsKeys, d);
    xml::ReadEach(outResolutions, "Reslt", kResolutionKeys,
                  [&](Entry entry) { d.resolutions.push_back(std::move(entry)); });

    const pt::ptree& signalOut = Required(root, "SignalOut");
    xml::ReadKeys(xml::Element(signalOut, "SignalOut"), kSignalOutKeys, d);
    xml::ReadEach(signalOut, "SigOut", kOutputKeys, [&](Output o) {
        if (!hasBoard(o.boardId))
            o.boardId = kNoId;
        d.outputs.push_back(std::move(o));
    });
    if (d.kind == 9) {
        // This kind always has the same four outputs, whatever the file says.
        d.outputs.clear();
        const std::string caption = CStringToStd(Tr(kOutputCaption));
        for (int32_t n = 1; n <= kKind9OutputCount; ++n) {
            Output o;
            o.id = kKind9OutputBase + static_cast<uint32_t>(n - 1);
            o.name = caption + " 1_" + std::to_string(n);
            o.boardId = hasBoard(kKind9OutputBoard) ? kKind9OutputBoard : kNoId;
            o.resolution = kDefaultOutputResolution;
            d.outputs.push_back(std::move(o));
        }
    }

    const pt::ptree& videoWall = Required(root, "VideoWall");
    const xml::Element wall(videoWall, "VideoWall");
    xml::ReadKeys(wall, kWallKeys, d.wall);
    if (CQelProcessor::HasCellSizes(d.kind))
        xml::ReadKeys(wall, kCellSizeKeys, d.wall);
    xml::ReadEach(videoWall, "Conn", kCellLinkKeys, [&](CellLink link) {
        if (link.row >= 0 && link.col >= 0 && link.output != -1)
            d.wall.cells[{link.row, link.col}] = link.output;
    });
}

pt::ptree BuildTree(const Data& d, uint8_t netType)
{
    pt::ptree root;
    xml::AttributeWriter(root).Add("version", kVersion);
    xml::WriteKeys(root, kProcessorKeys, d);
    xml::AttributeWriter(root).Add(kNetTypeAttr, int32_t(netType));

    xml::AddElement(root, "App", kAppKeys, d.app);
    xml::AddElement(root, "Connect", kConnectKeys, d.connection);

    pt::ptree& boards = root.add_child("Boards", {});
    for (const auto& b : d.boards)
        xml::AddElement(boards, "Board", kBoardKeys, b);

    pt::ptree& sources = xml::AddElement(root, "SignalSource", kSignalSourceKeys, d);
    std::vector<const Source*> byId;
    for (const auto& s : d.sources)
        byId.push_back(&s);
    std::stable_sort(byId.begin(), byId.end(), [](auto a, auto b) { return a->id < b->id; });
    for (const auto* s : byId) {
        pt::ptree& source = xml::AddElement(sources, "SigSrc", kSourceKeys, *s);
        for (const auto& c : s->children)
            xml::AddElement(source, "Child", kChildKeys, c);
    }

    pt::ptree& outputs = xml::AddElement(root, "SignalOut", kSignalOutKeys, d);
    for (const auto& o : d.outputs)
        xml::AddElement(outputs, "SigOut", kOutputKeys, o);

    pt::ptree& wall = xml::AddElement(root, "VideoWall", kWallKeys, d.wall);
    if (CQelProcessor::HasCellSizes(d.kind))
        xml::WriteKeys(wall, kCellSizeKeys, d.wall);
    for (const auto& [cell, output] : d.wall.cells)
        xml::AddElement(wall, "Conn", kCellLinkKeys, CellLink{cell.first, cell.second, output});

    pt::ptree& resolutions = root.add_child("OutResolutions", {});
    for (const auto& entry : d.resolutions)
        xml::AddElement(resolutions, "Reslt", kResolutionKeys, entry);
    xml::WriteKeys(resolutions, kOutResolutionsKeys, d);

    pt::ptree& planNames = root.add_child("PlanNameSet", {});
    for (const auto& [slot, name] : d.planNames)
        xml::AddElement(planNames, "PlanName", kPlanSlotKeys, PlanSlot{slot, name});

    pt::ptree tree;
    tree.add_child("Processor", root);
    return tree;
}

} // namespace

ProcessorFileData FirstStartProcessorFile()
{
    // Ids 1 to 6 in ascending size; the default id (3) is 1080p at 60 Hz,
    // what the outputs are made for until the device says otherwise.
    static constexpr Resolution kModes[] = {{1280, 720, 60},  {1920, 1080, 50}, {1920, 1080, 60},
                                            {1920, 1200, 60}, {3840, 2160, 30}, {3840, 2160, 60}};
    static_assert(kModes[CQelProcessor::kDefaultResolutionId - 1] == kDefaultOutputResolution);
    ProcessorFileData d;
    uint32_t id = 1;
    for (const Resolution& mode : kModes) {
        CQelProcessor::ResolutionEntry entry;
        entry.id = id++;
        entry.resolution = mode;
        entry.friendName =
            std::to_string(mode.width) + "x" + std::to_string(mode.height) + " " + std::to_string(mode.rate) + "Hz";
        d.resolutions.push_back(std::move(entry));
    }
    d.outputResolutionId = CQelProcessor::kDefaultResolutionId;
    d.app.planPatternCount = CQelProcessor::kLastPlanSlot;
    return d;
}

bool ParseProcessorFile(const std::string& text, ProcessorFileData& data, std::string& reason)
{
    try {
        pt::ptree tree;
        xml::ReadTree(text, tree);
        ProcessorFileData fresh;
        Parse(tree, fresh);
        data = std::move(fresh);
        return true;
    } catch (const std::exception& e) {
        reason = e.what();
    }
    return false;
}

std::string WriteProcessorFile(const ProcessorFileData& data, uint8_t netType)
{
    return xml::WriteTree(BuildTree(data, netType));
}

bool RenameSourceInFile(std::string& text, uint32_t id, const std::string& name, std::string& reason)
{
    try {
        pt::ptree tree;
        xml::ReadTree(text, tree, pt::xml_parser::trim_whitespace);
        pt::ptree& sources = tree.get_child("Processor.SignalSource");
        for (auto& [key, node] : sources) {
            if (key != "SigSrc")
                continue;
            Source s;
            const xml::Element e(node, "SigSrc");
            xml::ReadKey(e, kSourceKeys, "id", s);
            if (s.id != id)
                continue;
            xml::ReadKeys(e, kSourceKeys, s);
            FinishSource(s, node);
            s.name = name;
            // The attributes go back in the file's order; the children stay.
            auto& attrs =
                node.get_child_optional(kAttrs) ? node.get_child(kAttrs) : node.push_front({kAttrs, {}})->second;
            attrs.clear();
            pt::ptree fresh;
            xml::WriteKeys(fresh, kSourceKeys, s);
            attrs = fresh.get_child(kAttrs);
            text = xml::WriteTree(tree);
            return true;
        }
        reason = "no source " + std::to_string(id);
    } catch (const std::exception& e) {
        reason = e.what();
    }
    return false;
}

std::string CutPlanName(const std::string& name)
{
    if (name.size() <= CQelProcessor::kMaxPlanNameBytes)
        return name;
    size_t end = CQelProcessor::kMaxPlanNameBytes;
    // Back up over continuation bytes so no character is split.
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
        --end;
    return name.substr(0, end);
}

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
#include "core/xml_file.h"
#include "core/language_tr.h"

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
using xml::Required;

// Reads one element's attributes with the file's defaults.
class Element : public xml::AttributeReader {
public:
    Element(const pt::ptree& node, std::string name) : AttributeReader(node), name_(std::move(name)) {}

    int32_t Int(const char* attr, int32_t fallback) const
    {
        const auto text = Text(attr);
        return text ? ToInt(attr, *text) : fallback;
    }

    int32_t RequiredInt(const char* attr) const
    {
        const auto text = Text(attr);
        if (!text)
            throw FileError("<" + name_ + "> lacks the attribute \"" + attr + "\"");
        return ToInt(attr, *text);
    }

    // Unsigned ids; -1 (and its unsigned spelling) means no id.
    uint32_t Uint(const char* attr, uint32_t fallback) const
    {
        const auto text = Text(attr);
        if (!text)
            return fallback;
        const auto value = ParseAttributeInteger(*text);
        if (!value || *value > std::numeric_limits<uint32_t>::max() ||
            *value < -int64_t(std::numeric_limits<uint32_t>::max()))
            throw Bad(attr, *text);
        return static_cast<uint32_t>(*value);
    }

    Resolution Triple(const char* attr, const char* fallback) const { return TextToTriple(Text(attr, fallback)); }

private:
    int32_t ToInt(const char* attr, const std::string& text) const
    {
        const auto value = ParseAttributeInteger(text);
        if (!value || *value < std::numeric_limits<int32_t>::min() || *value > std::numeric_limits<int32_t>::max())
            throw Bad(attr, text);
        return static_cast<int32_t>(*value);
    }

    FileError Bad(const char* attr, const std::string& text) const
    {
        return FileError("the attribute \"" + std::string(attr) + "\" of <" + name_ + "> is not a number: \"" + text +
                         "\"");
    }

    std::string name_;
};

// The children of `parent` named `name`, in document order.
template <class Visit>
void ForEach(const pt::ptree& parent, const char* name, Visit visit)
{
    for (const auto& [key, child] : parent)
        if (key == name)
            visit(Element(child, name), child);
}

// One attribute of a flat element: its name, its field and the default a
// file without it reads as. The tables list them in the order they are
// written; reading and writing both go through them.
template <class Record>
struct IntKey {
    const char* attr;
    int32_t& (*field)(Record&);
    int32_t fallback = 0;
    bool digit = false; // written as 0 or 1
};
template <class Record>
struct TextKey {
    const char* attr;
    std::string& (*field)(Record&);
    const char* fallback;
};

using App = CQelProcessor::AppOptions;
const IntKey<App> kAppKeys[] = {
    {"disableresourcepoortip", [](App& a) -> int32_t& { return a.disableResourcePoorTip; }, 0, true},
    {"videowindowinvalidrecttipenable", [](App& a) -> int32_t& { return a.videoWindowInvalidRectTip; }, 0, true},
    {"segwindowpoortipenable", [](App& a) -> int32_t& { return a.segWindowPoorTip; }, 0, true},
    {"planpatterncount", [](App& a) -> int32_t& { return a.planPatternCount; }},
    {"inflaterectEnable", [](App& a) -> int32_t& { return a.inflateEnable; }},
    {"inflaterectLeft", [](App& a) -> int32_t& { return a.inflateRect.left; }},
    {"inflaterectRight", [](App& a) -> int32_t& { return a.inflateRect.right; }},
    {"inflaterectTop", [](App& a) -> int32_t& { return a.inflateRect.top; }},
    {"inflaterectBottom", [](App& a) -> int32_t& { return a.inflateRect.bottom; }},
    {"algorithmID", [](App& a) -> int32_t& { return a.algorithmId; }},
    {"morebuttonswitch", [](App& a) -> int32_t& { return a.moreButtonSwitch; }},
};

using Conn = CQelProcessor::Connection;
const TextKey<Conn> kConnectTextKeys[] = {
    {"tcpaddr", [](Conn& c) -> std::string& { return c.tcpAddress; }, "192.168.0.100"},
    {"tcpport", [](Conn& c) -> std::string& { return c.tcpPort; }, "8978"},
    {"tcptype", [](Conn& c) -> std::string& { return c.tcpType; }, "0"},
    {"serialdevice", [](Conn& c) -> std::string& { return c.serialDevice; }, "COM1"},
};
const IntKey<Conn> kConnectIntKeys[] = {
    {"serialrate", [](Conn& c) -> int32_t& { return c.serialRate; }, 115200},
    {"autodectsdevice", [](Conn& c) -> int32_t& { return c.serialAutoDetect; }, 1},
    {"contype", [](Conn& c) -> int32_t& { return c.type; }, 1},
};

template <class Record, size_t N>
void ReadKeys(const Element& e, const IntKey<Record> (&keys)[N], Record& record)
{
    for (const auto& key : keys)
        key.field(record) = e.Int(key.attr, key.fallback);
}

template <class Record, size_t N>
void ReadKeys(const Element& e, const TextKey<Record> (&keys)[N], Record& record)
{
    for (const auto& key : keys)
        key.field(record) = e.Text(key.attr, key.fallback);
}

// The tables' fields are reached through non-const references only.
template <class Record, size_t N>
void WriteKeys(xml::AttributeWriter writer, const IntKey<Record> (&keys)[N], Record record)
{
    for (const auto& key : keys) {
        if (key.digit)
            writer.Digit(key.attr, key.field(record));
        else
            writer.Add(key.attr, key.field(record));
    }
}

template <class Record, size_t N>
void WriteKeys(xml::AttributeWriter writer, const TextKey<Record> (&keys)[N], Record record)
{
    for (const auto& key : keys)
        writer.Add(key.attr, key.field(record));
}

CQelSigSrc::Values ReadSource(const Element& e, const pt::ptree& node)
{
    CQelSigSrc::Values s;
    s.id = e.Uint("id", kNoId);
    s.type = e.Int("type", 0);
    s.boardId = e.Uint("board", kNoId);
    s.name = e.Text("name", "");
    s.edid = e.Uint("EDID", 0);
    s.resolution = e.Triple("resolution", "");
    s.startPoint = TextToPoint(e.Text("startpt", ""));
    s.mutualGroupId = e.Uint("mutualgroupid", kNoId);
    s.curChildId = e.Uint("curchildid", kNoId);
    s.adjust = CQelSigSrc::DefaultAdjust(s.type);
    ForEach(node, "Child", [&](const Element& c, const pt::ptree&) {
        CQelChildSigSrc::Values child;
        child.id = c.Uint("id", kNoId);
        child.type = c.Int("type", 0);
        child.name = c.Text("name", "");
        child.resolution = c.Triple("resolution", "");
        child.routingId = c.Uint("routingid", kNoId);
        const bool repeated =
            std::any_of(s.children.begin(), s.children.end(), [&](const auto& o) { return o.id == child.id; });
        if (!repeated)
            s.children.push_back(std::move(child));
    });
    return s;
}

void Parse(const pt::ptree& tree, ProcessorFileData& d)
{
    const pt::ptree& root = Required(tree, "Processor");
    const Element processor(root, "Processor");
    if (processor.Text("version", "") != kVersion)
        throw FileError("the version is not \"V1\"");
    d.kind = processor.Int("protype", 0);
    d.name = processor.Text("name", "");
    d.obm = processor.Int("OBM", CQelProcessor::kDefaultObm);
    d.authorization = processor.RequiredInt("Authorization");

    ReadKeys(Element(Required(root, "App"), "App"), kAppKeys, d.app);

    ForEach(Required(root, "PlanNameSet"), "PlanName", [&](const Element& e, const pt::ptree&) {
        const int32_t slot = e.Int("id", -1);
        if (slot < CQelProcessor::kFirstPlanSlot || slot > CQelProcessor::kLastPlanSlot)
            return;
        d.planNames[slot] = CutPlanName(e.Text("friendname", std::to_string(slot)));
    });

    const Element connect(Required(root, "Connect"), "Connect");
    ReadKeys(connect, kConnectTextKeys, d.connection);
    ReadKeys(connect, kConnectIntKeys, d.connection);

    ForEach(Required(root, "Boards"), "Board", [&](const Element& e, const pt::ptree&) {
        CQelBoard::Values b;
        b.id = e.Uint("id", kNoId);
        b.name = e.Text("name", "");
        b.type = e.Int("type", 0);
        b.scaler = e.Int("scaler", 0);
        b.portCount = e.Int("portcount", 0);
        const bool repeated =
            std::any_of(d.boards.begin(), d.boards.end(), [&](const auto& o) { return o.id == b.id; });
        if (b.id != kNoId && !repeated)
            d.boards.push_back(std::move(b));
    });
    auto hasBoard = [&](uint32_t id) {
        return std::any_of(d.boards.begin(), d.boards.end(), [id](const auto& b) { return b.id == id; });
    };

    const pt::ptree& signalSource = Required(root, "SignalSource");
    d.sourceScaler = Element(signalSource, "SignalSource").Int("scaler", 0);
    ForEach(signalSource, "SigSrc", [&](const Element& e, const pt::ptree& node) {
        CQelSigSrc::Values s = ReadSource(e, node);
        if (!hasBoard(s.boardId))
            s.boardId = kNoId;
        const bool repeated =
            std::any_of(d.sources.begin(), d.sources.end(), [&](const auto& o) { return o.id == s.id; });
        if (s.id != kNoId && !repeated)
            d.sources.push_back(std::move(s));
    });

    const pt::ptree& outResolutions = Required(root, "OutResolutions");
    d.customizeResolution = Element(outResolutions, "OutResolutions").Int("customizeresolutionswitch", 0);
    ForEach(outResolutions, "Reslt", [&](const Element& e, const pt::ptree&) {
        CQelProcessor::ResolutionEntry entry;
        entry.id = e.Uint("id", 0);
        entry.resolution = e.Triple("resolution", "1024,768");
        entry.friendName = e.Text("friendname", "1024,768");
        d.resolutions.push_back(std::move(entry));
    });

    const pt::ptree& signalOut = Required(root, "SignalOut");
    d.outputResolutionId = Element(signalOut, "SignalOut").Uint("resolutionid", CQelProcessor::kDefaultResolutionId);
    ForEach(signalOut, "SigOut", [&](const Element& e, const pt::ptree&) {
        CQelSigOut::Values o;
        o.id = e.Uint("id", 0);
        o.name = e.Text("name", "");
        o.boardId = e.Uint("board", kNoId);
        if (!hasBoard(o.boardId))
            o.boardId = kNoId;
        o.resolution = e.Triple("resolution", "1920,1080");
        d.outputs.push_back(std::move(o));
    });
    if (d.kind == 9) {
        // This kind always has the same four outputs, whatever the file says.
        d.outputs.clear();
        const std::string caption = CStringToStd(Tr(kOutputCaption));
        for (int32_t n = 1; n <= kKind9OutputCount; ++n) {
            CQelSigOut::Values o;
            o.id = kKind9OutputBase + static_cast<uint32_t>(n - 1);
            o.name = caption + " 1_" + std::to_string(n);
            o.boardId = hasBoard(kKind9OutputBoard) ? kKind9OutputBoard : kNoId;
            o.resolution = kDefaultOutputResolution;
            d.outputs.push_back(std::move(o));
        }
    }

    const pt::ptree& videoWall = Required(root, "VideoWall");
    const Element wall(videoWall, "VideoWall");
    d.wall.rows = wall.Int("rows", 1);
    d.wall.cols = wall.Int("cols", 1);
    d.wall.margin = TextToRect(wall.Text("margin", ""));
    if (CQelProcessor::HasCellSizes(d.kind)) {
        d.wall.rowHeights = TextToIntList(wall.Text("rh", ""));
        d.wall.colWidths = TextToIntList(wall.Text("cw", ""));
        d.wall.watch = TextToIntList(wall.Text("watch", ""));
    }
    ForEach(videoWall, "Conn", [&](const Element& e, const pt::ptree&) {
        const int32_t row = e.Int("row", -1);
        const int32_t col = e.Int("col", -1);
        const int32_t output = e.Int("sigout_id", -1);
        if (row >= 0 && col >= 0 && output != -1)
            d.wall.cells[{row, col}] = output;
    });
}

using Writer = xml::AttributeWriter;

void WriteSourceAttrs(pt::ptree& node, const CQelSigSrc::Values& s)
{
    Writer(node)
        .Add("id", s.id)
        .Add("type", s.type)
        .Add("board", s.boardId)
        .Add("name", s.name)
        .Add("EDID", s.edid)
        .Add("resolution", TripleToText(s.resolution))
        .Add("startpt", PointToText(s.startPoint))
        .Add("mutualgroupid", s.mutualGroupId)
        .Add("curchildid", s.curChildId);
}

pt::ptree BuildTree(const ProcessorFileData& d, uint8_t netType)
{
    pt::ptree root;
    Writer(root)
        .Add("version", kVersion)
        .Add("protype", d.kind)
        .Add("name", d.name)
        .Add("OBM", d.obm)
        .Add("Authorization", d.authorization)
        .Add("NetType", int32_t(netType));

    pt::ptree app;
    WriteKeys(Writer(app), kAppKeys, d.app);
    root.add_child("App", app);

    pt::ptree connect;
    WriteKeys(Writer(connect), kConnectTextKeys, d.connection);
    WriteKeys(Writer(connect), kConnectIntKeys, d.connection);
    root.add_child("Connect", connect);

    pt::ptree boards;
    for (const auto& b : d.boards) {
        pt::ptree board;
        Writer(board)
            .Add("id", b.id)
            .Add("name", b.name)
            .Add("type", b.type)
            .Add("scaler", b.scaler)
            .Add("portcount", b.portCount);
        boards.add_child("Board", board);
    }
    root.add_child("Boards", boards);

    pt::ptree sources;
    Writer(sources).Add("scaler", d.sourceScaler);
    std::vector<const CQelSigSrc::Values*> byId;
    for (const auto& s : d.sources)
        byId.push_back(&s);
    std::stable_sort(byId.begin(), byId.end(), [](auto a, auto b) { return a->id < b->id; });
    for (const auto* s : byId) {
        pt::ptree source;
        WriteSourceAttrs(source, *s);
        for (const auto& c : s->children) {
            pt::ptree child;
            Writer(child)
                .Add("id", c.id)
                .Add("type", c.type)
                .Add("name", c.name)
                .Add("resolution", TripleToText(c.resolution))
                .Add("routingid", c.routingId);
            source.add_child("Child", child);
        }
        sources.add_child("SigSrc", source);
    }
    root.add_child("SignalSource", sources);

    Resolution current = kDefaultOutputResolution;
    for (const auto& entry : d.resolutions) {
        if (entry.id == d.outputResolutionId) {
            current = entry.resolution;
            break;
        }
    }
    pt::ptree outputs;
    Writer(outputs).Add("resolutionid", d.outputResolutionId).Add("resolution", TripleToText(current));
    for (const auto& o : d.outputs) {
        pt::ptree output;
        Writer(output)
            .Add("id", o.id)
            .Add("name", o.name)
            .Add("board", o.boardId)
            .Add("resolution", TripleToText(o.resolution));
        outputs.add_child("SigOut", output);
    }
    root.add_child("SignalOut", outputs);

    pt::ptree wall;
    Writer w(wall);
    w.Add("rows", d.wall.rows).Add("cols", d.wall.cols).Add("margin", RectToText(d.wall.margin));
    if (CQelProcessor::HasCellSizes(d.kind))
        w.Add("rh", IntListToText(d.wall.rowHeights))
            .Add("cw", IntListToText(d.wall.colWidths))
            .Add("watch", IntListToText(d.wall.watch));
    for (const auto& [cell, output] : d.wall.cells) {
        pt::ptree conn;
        Writer(conn).Add("row", cell.first).Add("col", cell.second).Add("sigout_id", output);
        wall.add_child("Conn", conn);
    }
    root.add_child("VideoWall", wall);

    pt::ptree resolutions;
    for (const auto& entry : d.resolutions) {
        pt::ptree reslt;
        Writer(reslt)
            .Add("id", entry.id)
            .Add("resolution", TripleToText(entry.resolution))
            .Add("friendname", entry.friendName);
        resolutions.add_child("Reslt", reslt);
    }
    Writer(resolutions).Digit("customizeresolutionswitch", d.customizeResolution);
    root.add_child("OutResolutions", resolutions);

    pt::ptree planNames;
    for (const auto& [slot, name] : d.planNames) {
        pt::ptree plan;
        Writer(plan).Add("id", slot).Add("friendname", name);
        planNames.add_child("PlanName", plan);
    }
    root.add_child("PlanNameSet", planNames);

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
            const Element e(node, "SigSrc");
            if (e.Uint("id", kNoId) != id)
                continue;
            CQelSigSrc::Values s = ReadSource(e, node);
            s.id = id;
            s.name = name;
            // The attributes go back in the file's order; the children stay.
            auto& attrs =
                node.get_child_optional(kAttrs) ? node.get_child(kAttrs) : node.push_front({kAttrs, {}})->second;
            attrs.clear();
            pt::ptree fresh;
            WriteSourceAttrs(fresh, s);
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

#include "model/input_osd.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <string_view>

#include "corlane/app_path.h"
#include "corlane/file_store.h"
#include "model/input_osd_file.h"
#include "model/model_log.h"
#include "model/model_types.h"

namespace {

constexpr char kFileName[] = "IOSD.dat";

namespace store = qz::vok::file_store;

std::shared_ptr<tagOSDBoard> DeepCopy(const tagOSDBoard& board)
{
    auto copy = std::make_shared<tagOSDBoard>();
    copy->id = board.id;
    copy->items.reserve(board.items.size());
    for (const auto& item : board.items)
        copy->items.push_back(std::make_shared<tagOSD_DATA_EX_S>(*item));
    return copy;
}

int ClampByte(double value)
{
    const int v = static_cast<int>(value); // truncates toward zero
    return std::clamp(v, 0, 255);
}

} // namespace

CQelProcessor::CInputOSD::CInputOSD(CQelProcessor& owner) : owner_(owner) {}

CQelProcessor::CInputOSD::~CInputOSD() = default;

int32_t CQelProcessor::CInputOSD::BoardCountOfModel(int32_t model)
{
    switch (model) {
    case 7: return 2;
    case 8: return 4;
    case 9: return 1;
    case 10: return 9;
    default: return 2;
    }
}

std::string CQelProcessor::CInputOSD::FilePath()
{
    return qz::vok::path::GetHardwarePath() + "/" + kFileName;
}

int CQelProcessor::CInputOSD::Load()
{
    const int32_t boardCount = BoardCountOfModel(owner_.GetKind());

    std::vector<tagOSD_DATA_EX2_S> records;
    {
        std::lock_guard<std::mutex> file(fileMutex_);
        const std::string path = FilePath();
        const store::read_result stored = store::read_file(path);
        if (stored.status == store::read_status::unreadable)
            LogModelError("input OSD file " + path + " not loaded (" + stored.error +
                          "); it is left as it is and not replaced");
        std::string damage;
        if (stored.status == store::read_status::ok) {
            std::istringstream in(stored.bytes);
            records = ParseInputOsdFile(in, &damage);
        }
        if (!damage.empty()) {
            // What could be read is used; the file itself is kept for a
            // later look before a save replaces it.
            ReportModelDamage("input OSD file " + path + " damaged (" + damage + "); " +
                              store::keep_as_bad(path, stored.bytes).text);
        }
    }
    std::map<std::pair<int32_t, int32_t>, const tagOSD_DATA_EX2_S*> byItem;
    for (const auto& record : records)
        byItem.emplace(std::make_pair(record.input, record.item), &record); // first one wins

    std::vector<std::shared_ptr<tagOSDBoard>> boards;
    for (int32_t b = 0; b < boardCount; ++b) {
        auto board = std::make_shared<tagOSDBoard>();
        board->id = b;
        for (int32_t i = 0; i < kItemsPerBoard; ++i) {
            const auto found = byItem.find({b, i});
            auto item = found != byItem.end() ? std::make_shared<tagOSD_DATA_EX_S>(StoredItemOf(*found->second))
                                              : std::make_shared<tagOSD_DATA_EX_S>();
            item->item = i;
            board->items.push_back(std::move(item));
        }
        boards.push_back(std::move(board));
    }

    std::lock_guard<std::mutex> guard(owner_.lock_->mutex);
    boards_ = std::move(boards);
    return 0;
}

int CQelProcessor::CInputOSD::Save() const
{
    std::lock_guard<std::mutex> file(fileMutex_);
    std::vector<std::shared_ptr<tagOSDBoard>> boards;
    {
        std::lock_guard<std::mutex> guard(owner_.lock_->mutex);
        for (const auto& board : boards_)
            boards.push_back(DeepCopy(*board));
    }
    const std::vector<uint8_t> bytes = BuildInputOsdFile(boards);
    std::string error;
    const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!store::replace_file(FilePath(), view, error)) {
        LogModelError("input OSD file not saved: " + error);
        return 1;
    }
    return 0;
}

tagOSD_DATA_EX_S* CQelProcessor::CInputOSD::FindItemLocked(int32_t board, int32_t item) const
{
    for (const auto& b : boards_) {
        if (b->id != board)
            continue;
        for (const auto& i : b->items)
            if (i->item == item)
                return i.get();
        return nullptr; // the search ends with the first board of that id
    }
    return nullptr;
}

std::shared_ptr<tagOSD_DATA_EX_S> CQelProcessor::CInputOSD::FindItem(int32_t board, int32_t item) const
{
    std::lock_guard<std::mutex> guard(owner_.lock_->mutex);
    const tagOSD_DATA_EX_S* found = FindItemLocked(board, item);
    return found ? std::make_shared<tagOSD_DATA_EX_S>(*found) : nullptr;
}

void CQelProcessor::CInputOSD::CopyItems(std::vector<std::shared_ptr<tagOSD_DATA_EX2_S>>& out) const
{
    std::vector<std::shared_ptr<tagOSD_DATA_EX2_S>> items;
    std::lock_guard<std::mutex> guard(owner_.lock_->mutex);
    for (const auto& board : boards_) {
        for (const auto& i : board->items) {
            items.push_back(std::make_shared<tagOSD_DATA_EX2_S>(FlatItemOf(*i, board->id)));
        }
    }
    out = std::move(items);
}

size_t CQelProcessor::CInputOSD::GetItemCount() const
{
    std::lock_guard<std::mutex> guard(owner_.lock_->mutex);
    size_t count = 0;
    for (const auto& board : boards_)
        count += board->items.size();
    return count;
}

template <class Change>
void CQelProcessor::CInputOSD::ChangeItem(int32_t board, int32_t item, Change change)
{
    std::lock_guard<std::mutex> guard(owner_.lock_->mutex);
    if (tagOSD_DATA_EX_S* found = FindItemLocked(board, item))
        change(*found);
}

void CQelProcessor::CInputOSD::SetItemBitmap(int32_t board, int32_t item, std::span<const uint8_t> bits, int32_t left,
                                             int32_t top, int32_t right, int32_t bottom)
{
    ChangeItem(board, item, [&](tagOSD_DATA_EX_S& i) { OsdRecordSetBitmap(i.osd, bits, left, top, right, bottom); });
}

void CQelProcessor::CInputOSD::SetItemColorA(int32_t board, int32_t item, int32_t color)
{
    ChangeItem(board, item, [&](tagOSD_DATA_EX_S& i) { i.osd.background = color; });
}

void CQelProcessor::CInputOSD::SetItemColorB(int32_t board, int32_t item, int32_t color)
{
    ChangeItem(board, item, [&](tagOSD_DATA_EX_S& i) { i.osd.captionColor = color; });
}

void CQelProcessor::CInputOSD::SetItemFlagA(int32_t board, int32_t item, int32_t value)
{
    ChangeItem(board, item, [&](tagOSD_DATA_EX_S& i) { i.osd.transparent = value; });
}

void CQelProcessor::CInputOSD::SetItemFlagB(int32_t board, int32_t item, int32_t value)
{
    ChangeItem(board, item, [&](tagOSD_DATA_EX_S& i) { i.osd.shown = value; });
}

void CQelProcessor::CInputOSD::SetItemPairE(int32_t board, int32_t item, int32_t left, int32_t top)
{
    ChangeItem(board, item, [&](tagOSD_DATA_EX_S& i) {
        i.left = left;
        i.top = top;
    });
}

void CQelProcessor::CInputOSD::SetItemValueF(int32_t board, int32_t item, int32_t value)
{
    ChangeItem(board, item, [&](tagOSD_DATA_EX_S& i) { i.timeShown = value; });
}

void CQelProcessor::CInputOSD::SetItemPairG(int32_t board, int32_t item, int32_t left, int32_t top)
{
    ChangeItem(board, item, [&](tagOSD_DATA_EX_S& i) {
        i.timeLeft = left;
        i.timeTop = top;
    });
}

void CQelProcessor::CInputOSD::SetItemSize(int32_t board, int32_t item, int32_t width, int32_t height)
{
    ChangeItem(board, item, [&](tagOSD_DATA_EX_S& i) {
        i.timeWidth = width;
        i.timeHeight = height;
    });
}

void CQelProcessor::CInputOSD::SetItemValueH(int32_t board, int32_t item, int32_t value)
{
    ChangeItem(board, item, [&](tagOSD_DATA_EX_S& i) { i.fontSize = value; });
}

std::vector<uint8_t> CQelProcessor::CInputOSD::GetItemPayload(int32_t board, int32_t item) const
{
    const auto found = FindItem(board, item);
    return found ? OsdItemPayload(*found) : std::vector<uint8_t>{};
}

std::vector<uint8_t> OsdItemPayload(const tagOSD_DATA_EX_S&)
{
    return {};
}

uint32_t RgbToYuv(uint8_t red, uint8_t green, uint8_t blue)
{
    const double r = red, g = green, b = blue;
    const uint32_t y = static_cast<uint32_t>(ClampByte(0.299 * r + 0.587 * g + 0.114 * b));
    const uint32_t u = static_cast<uint32_t>(ClampByte(-0.147 * r - 0.289 * g + 0.436 * b + 128));
    const uint32_t v = static_cast<uint32_t>(ClampByte(0.615 * r - 0.515 * g - 0.1 * b + 128));
    return u << 24 | y << 16 | v << 8 | y;
}

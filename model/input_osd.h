#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "model/osd_item.h"
#include "model/processor.h"

// The OSD items of a processor's inputs, four per input board, kept in
// IOSD.dat in the hardware folder. The state sits behind the processor's
// lock; what it hands out are copies.
class CQelProcessor::CInputOSD {
public:
    static constexpr int32_t kItemsPerBoard = 4;

    explicit CInputOSD(CQelProcessor& owner);
    virtual ~CInputOSD();
    CInputOSD(const CInputOSD&) = delete;
    CInputOSD& operator=(const CInputOSD&) = delete;

    // Rebuilds the store for the processor's kind from the file; items the
    // file does not hold keep their defaults. Result 0.
    int Load();
    // Writes the file; 0 on success, 1 when it cannot be written (the old
    // file then stays as it was).
    int Save() const;

    // A copy of the item, empty when the store has none.
    std::shared_ptr<tagOSD_DATA_EX_S> FindItem(int32_t board, int32_t item) const;
    // Replaces `out` by flat copies of every item, board by board.
    void CopyItems(std::vector<std::shared_ptr<tagOSD_DATA_EX2_S>>& out) const;
    size_t GetItemCount() const;

    // Setters do nothing for an item the store does not hold.
    void SetItemBitmap(int32_t board, int32_t item, std::span<const uint8_t> bits, int32_t left, int32_t top,
                       int32_t right, int32_t bottom);
    void SetItemColorA(int32_t board, int32_t item, int32_t color);
    void SetItemColorB(int32_t board, int32_t item, int32_t color);
    void SetItemFlagA(int32_t board, int32_t item, int32_t value);
    void SetItemFlagB(int32_t board, int32_t item, int32_t value);
    void SetItemPairE(int32_t board, int32_t item, int32_t left, int32_t top);
    void SetItemValueF(int32_t board, int32_t item, int32_t value);
    void SetItemPairG(int32_t board, int32_t item, int32_t left, int32_t top);
    void SetItemSize(int32_t board, int32_t item, int32_t width, int32_t height);
    void SetItemValueH(int32_t board, int32_t item, int32_t value);

    // The encoded item for the device; the encoding yields nothing yet.
    std::vector<uint8_t> GetItemPayload(int32_t board, int32_t item) const;

    // Input boards per processor kind.
    static int32_t BoardCountOfModel(int32_t model);
    static std::string FilePath();

private:
    template <class Change>
    void ChangeItem(int32_t board, int32_t item, Change change);
    tagOSD_DATA_EX_S* FindItemLocked(int32_t board, int32_t item) const;

    CQelProcessor& owner_;
    std::vector<std::shared_ptr<tagOSDBoard>> boards_; // guarded by the owner's lock
    mutable std::mutex fileMutex_;                     // one save at a time
};

// The encoded form of an item for the device; empty for every item.
std::vector<uint8_t> OsdItemPayload(const tagOSD_DATA_EX_S& item);

// Packs a colour as the bytes U, Y, V, Y from the most significant down.
uint32_t RgbToYuv(uint8_t red, uint8_t green, uint8_t blue);

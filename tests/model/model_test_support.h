#pragma once
// The event and file helpers of the model tests.
#include <cstdint>
#include <string>

#include "model/osd_record.h"
#include "tests/support/queued_events.h"
#include "tests/support/test_files.h"

using tavrix::test::ReadText;
using tavrix::test::WriteText;

// Builds a file image word by word.
class Image {
public:
    Image& Word(uint32_t w)
    {
        for (int i = 0; i < 4; ++i)
            bytes_.push_back(static_cast<char>(w >> (8 * i)));
        return *this;
    }
    Image& Bytes(size_t n, uint8_t value)
    {
        bytes_.append(n, static_cast<char>(value));
        return *this;
    }
    // A version 3 record of a w x h bitmap filled with `fill`.
    Image& RecordV3(int32_t board, int32_t item, int32_t w, int32_t h, uint8_t fill)
    {
        Word(board).Word(item).Word(1).Word(2).Word(w).Word(h);
        Word(0x10).Word(0x20).Word(0).Word(1);
        Word(1).Word(3).Word(4).Word(300).Word(200).Word(2);
        return Bytes(OsdBitmapBytes(w, h), fill);
    }
    std::string Text() const { return bytes_; }
    size_t Size() const { return bytes_.size(); }

private:
    std::string bytes_;
};

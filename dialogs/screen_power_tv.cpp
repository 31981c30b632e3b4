#include "dialogs/screen_power_tv.h"

#include <atomic>
#include <charconv>

#include "context/context.h"
#include "core/delay.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/processor_settings.h"

namespace {

// The processor's serial link needs this long to let go of its port, and
// again before it takes it back.
constexpr uint32_t kLineHandOverMs = 500;
constexpr char kLineBusy[] = "串口正被占用，请重试！";

std::atomic<IScreenPowerFrame*> g_frame{nullptr};

std::shared_ptr<CQelProcessor> CurrentProcessor()
{
    const int id = CQelContext::GetSelProcessorId();
    return id < 0 ? nullptr : CQelContext::GetProMan()->FindById(uint32_t(id));
}

int HexDigit(char c)
{
    int value = -1;
    std::from_chars(&c, &c + 1, value, 16);
    return value;
}

// Calls `piece` with each run of characters between spaces.
template <class Piece>
void ForEachPiece(const std::string& text, Piece piece)
{
    size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ') {
            ++at;
            continue;
        }
        const size_t end = std::min(text.find(' ', at), text.size());
        piece(std::string_view(text).substr(at, end - at));
        at = end;
    }
}

// Writes `bytes` on the display port and closes it, whatever happened: no
// port stays open between two commands. 0 written, 1 failed.
int WriteAndClose(const uint8_t* bytes, unsigned count)
{
    const int written = CSPortOperator::Write(bytes, count);
    CSPortOperator::Close();
    return written == 0 ? 0 : 1;
}

} // namespace

IScreenPowerFrame* SetScreenPowerFrame(IScreenPowerFrame* frame)
{
    return g_frame.exchange(frame);
}
IScreenPowerFrame* GetScreenPowerFrame()
{
    return g_frame.load();
}

int CKestavoTV::SetCommMode(int mode)
{
    commMode_ = mode;
    return kTvOk;
}

int CKestavoTV::SetSerialParams(SerialParams params)
{
    serial_ = std::move(params);
    return kTvOk;
}

int CKestavoTV::SetNetParams(uint32_t, int, int)
{
    return kTvOk;
}

int CKestavoTV::SendOpen(const char* command)
{
    return SendHexCommand(command ? command : "");
}
int CKestavoTV::SendClose(const char* command)
{
    return SendHexCommand(command ? command : "");
}

void CKestavoTV::Release()
{
    delete this;
}

int CKestavoTV::SendHexCommand(const std::string& command)
{
    if (commMode_ != 0)
        return kTvFailed;
    uint8_t bytes[kHexBufferSize] = {};
    unsigned count = 0;
    // A stored text the dialog would refuse never reaches the line.
    if (!ParseHexBytes(command, bytes, count))
        return kTvFailed;
    return WriteSerial(serial_, bytes, count) > 0 ? kTvFailed : kTvOk;
}

int CKestavoTV::WriteSerial(SerialParams params, const uint8_t* bytes, unsigned count)
{
    const auto processor = CurrentProcessor();
    IScreenPowerFrame* frame = GetScreenPowerFrame();
    if (!processor || !frame)
        return 1;
    frame->OnDisconnectProcessor();
    if (processor->settings().GetConnection().type == 1) {
        if (CSPortOperator::Open(params) != 0)
            return 1;
        const int result = WriteAndClose(bytes, count);
        frame->OnDisconnectProcessor();
        frame->OnConnectProcessor();
        return result;
    }
    Delay(kLineHandOverMs);
    if (processor->IsConnected()) {
        frame->ShowMessage(kLineBusy);
        return 3;
    }
    if (CSPortOperator::Open(params) != 0)
        return 1;
    const int result = WriteAndClose(bytes, count);
    frame->OnDisconnectProcessor();
    Delay(kLineHandOverMs);
    frame->OnConnectProcessorMode2();
    return result;
}

HexCommandCheck CheckHexCommand(const std::string& text)
{
    if (text.size() > kMaxHexCommandLength)
        return HexCommandCheck::too_long;
    bool hex = true;
    ForEachPiece(text, [&hex](std::string_view piece) {
        for (char c : piece)
            hex = hex && HexDigit(c) >= 0;
    });
    return hex ? HexCommandCheck::ok : HexCommandCheck::bad_piece;
}

bool ParseHexBytes(const std::string& text, uint8_t (&bytes)[kHexBufferSize], unsigned& count)
{
    count = 0;
    if (CheckHexCommand(text) != HexCommandCheck::ok)
        return false;
    // At most 255 characters make at most 128 pieces: the array holds them.
    ForEachPiece(text, [&](std::string_view piece) {
        const int low = HexDigit(piece.back());
        const int high = piece.size() > 1 ? HexDigit(piece[piece.size() - 2]) : 0;
        bytes[count++] = uint8_t(high * 16 + low);
    });
    return true;
}

namespace {
ITV* CreateKestavoTV()
{
    return new CKestavoTV;
}
} // namespace

const std::map<int, TVCreator>& MODEL_TO_CREATER_S_map()
{
    static const std::map<int, TVCreator> creators{{0, &CreateKestavoTV}};
    return creators;
}

ITV* CreateTVByModel(int model)
{
    const auto& creators = MODEL_TO_CREATER_S_map();
    const auto it = creators.find(model);
    return it == creators.end() ? nullptr : it->second();
}

void ReleaseTV(ITV* tv)
{
    if (tv)
        tv->Release();
}

#pragma once
// The display controllers: the interface the screen power settings drive,
// its one implementation, the table of display models, and the hex byte
// text the displays take on their serial line.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "comm/sport_operator.h"

// The display line's serial settings. Whoever fills it from the user's
// choice sets parity 0, byte size 8 and stop bits 0.
using SerialParams = SPortSettings;

// What the controller's operations return.
inline constexpr int kTvOk = 0;
inline constexpr int kTvFailed = static_cast<int>(0x80004005u);

class ITV {
public:
    virtual int SetCommMode(int mode) = 0;
    virtual int SetSerialParams(SerialParams params) = 0;
    virtual int SetNetParams(uint32_t ip, int port, int spare) = 0;
    virtual int SendOpen(const char* command) = 0;
    virtual int SendClose(const char* command) = 0;
    virtual void Release() = 0;
    virtual ~ITV() = default;
};

// What a controller needs of the main frame: its connect and disconnect
// commands (1101 TCP, 1102 serial, 1104 disconnect), which act on the
// current processor, and a message box. The frame installs itself.
class IScreenPowerFrame {
public:
    virtual ~IScreenPowerFrame() = default;
    virtual void OnConnectProcessor() = 0;
    virtual void OnConnectProcessorMode2() = 0;
    virtual void OnDisconnectProcessor() = 0;
    // `text` is the program's own; the frame translates it.
    virtual void ShowMessage(const std::string& text) = 0;
};

// Installs `frame` (null for none); returns the previous one.
IScreenPowerFrame* SetScreenPowerFrame(IScreenPowerFrame* frame);
IScreenPowerFrame* GetScreenPowerFrame();

// The displays of the one model this program drives: its commands go out
// on the display line while the processor is taken off the line, since
// both may share one port.
class CKestavoTV : public ITV {
public:
    int SetCommMode(int mode) override;
    int SetSerialParams(SerialParams params) override;
    int SetNetParams(uint32_t ip, int port, int spare) override;
    int SendOpen(const char* command) override;
    int SendClose(const char* command) override;
    void Release() override;

    int SendHexCommand(const std::string& command);
    // 0 sent, 1 failed (no processor, port not opened, write failed), 3 the
    // processor's serial link would not let go of the line.
    int WriteSerial(SerialParams params, const uint8_t* bytes, unsigned count);

private:
    int commMode_ = 0;
    SerialParams serial_;
};

// The wire format: hex byte values separated by spaces.
inline constexpr size_t kHexBufferSize = 256;
inline constexpr size_t kMaxHexCommandLength = kHexBufferSize - 1;

enum class HexCommandCheck { ok, too_long, bad_piece };
// Whether `text` is a command this program sends: at most 255 characters,
// each piece between spaces hex digits only. The empty text sends nothing.
HexCommandCheck CheckHexCommand(const std::string& text);

// The bytes of `text`, each piece's low 8 bits; false (and no bytes) when
// the check above refuses it.
bool ParseHexBytes(const std::string& text, uint8_t (&bytes)[kHexBufferSize], unsigned& count);

using TVCreator = ITV* (*)();
// Display model -> creator; made on first use.
const std::map<int, TVCreator>& MODEL_TO_CREATER_S_map();
// A new controller for `model`; null when no creator is known for it.
ITV* CreateTVByModel(int model);
void ReleaseTV(ITV* tv);

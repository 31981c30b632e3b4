#pragma once
#include <cstdint>
#include <string>
#include <vector>

// What a port is opened with.
struct SPortSettings {
    std::string portName; // "COM3" or a device path
    uint32_t baudRate = 115200;
    uint32_t parity = 0; // 0 none, 1 odd, 2 even, 3 mark, 4 space; else none
    uint32_t byteSize = 8;
    uint32_t stopBits = 0; // 0 one, 1 one and a half (taken as two), 2 two; else one
    friend bool operator==(const SPortSettings&, const SPortSettings&) = default;
};

// A synchronous serial port for short exchanges: open, write a request, read
// what came back within a moment, close. One port is open at a time in the
// whole process. Results are 0 for success and 1 for failure.
class CSPortOperator {
public:
    virtual ~CSPortOperator() = default;

    static int Open(const SPortSettings& settings);
    // Closes the open port, if any.
    static void Close();
    static bool IsOpen();

    // COMn gives n for names of 4 or 5 characters and n above 0; else -1.
    static int ParsePortNumber(const std::string& name);
    // The device to open for a port name: a path (starting "/") as it
    // stands, COMn as /dev/ttyS{n-1}; empty when the name gives no port.
    static std::string OpenPortNumber(const std::string& name);
    // Whether two port names open the same device ("COM1" and "/dev/ttyS0");
    // names that open nothing compare as text.
    static bool SamePort(const std::string& a, const std::string& b);

    // Raw 8-bit line at the record's speed, size, parity and stop bits; both
    // queues flushed. 1 when the port refuses a setting.
    static int Configure(const SPortSettings& settings);
    // Fails unless every byte went within about 30 ms.
    static int Write(const void* data, unsigned length);
    // Waits about 200 ms, then takes what arrived (at most `count` bytes)
    // and sets `count` to it; fails when nothing arrived.
    static int Read(void* buffer, unsigned& count);

    // The ttyS*, ttyUSB* and ttyACM* devices under the scan root, as paths,
    // ttyS first, then ttyUSB, then ttyACM, each by number.
    static int EnumPorts(std::vector<std::string>& ports);
    // "/dev" unless a test points it elsewhere; returns the previous root.
    static std::string SetScanRoot(const std::string& root);
};

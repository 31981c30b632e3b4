#pragma once
#include <string>
#include <string_view>
#include <vector>

// The per-user flag that tells a starting copy of the program whether one
// is already running, and the socket through which that copy asks the
// running one to raise its window. Every running copy holds the flag (a
// shared lock on a file in the lock folder) for its whole life, so the
// flag is up while any copy runs; a copy killed outright loses its hold
// with its process.
class CSingleInstance {
public:
    static constexpr const char* kFlagName = "tavrix_singleton_flag";
    static constexpr const char* kRaiseSocketName = "tavrix_raise.sock";
    static constexpr std::string_view kRaiseRequest = "TAVRIX RAISE\n";

    enum class Result {
        First,   // no other copy held the flag
        Running, // another copy holds it
        NoLock,  // no usable lock folder or file: nothing is known
    };

    // `lockDir` empty means no usable folder was found.
    explicit CSingleInstance(std::string lockDir);
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // Takes the flag and keeps holding it whatever the result, until
    // Release or destruction.
    Result Acquire();
    void Release();

    // Asks the copy listening on the raise socket to raise its window.
    // False when nobody listens (that copy has no window yet, or is gone).
    bool RequestRaise() const;

    // Serves the raise socket once the window exists, unless another
    // running copy already does. False when not serving.
    bool Listen();
    bool IsListening() const { return listenFd_ >= 0; }
    // Never blocks: true when an exact raise request has arrived since the
    // last call. Anything else sent to the socket is dropped.
    bool PollRaise();

    const std::string& LockDir() const { return dir_; }

private:
    struct Pending {
        int fd = -1;
        std::string data;
        int polls = 0;
    };

    std::string Path(const char* name) const { return dir_ + "/" + name; }

    std::string dir_;
    int flagFd_ = -1;
    int listenFd_ = -1;
    unsigned long listenInode_ = 0;
    std::vector<Pending> pending_;
};

// Picks the folder for the flag and the raise socket: `runtimeDir` (the
// session's XDG_RUNTIME_DIR) when it is a writable folder; else a private
// folder "tavrix-<uid>" under `fallbackBase`, made 0700, refused when it is
// not a real folder or another user owns it. Empty when neither will do;
// `warning` then (and on a fall-back) says why.
std::string ChooseLockDir(const char* runtimeDir, const std::string& fallbackBase, std::string& warning);

#pragma once
// The layout builder of the 16x16 processor and the root of the builder
// family: it places a plan's windows on the processor's scalers, backplane
// channels and backgrounds, then turns the placement into command lines.
// Later families override the virtual operations.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "builder/builder_log.h"
#include "builder/placement_undo.h"
#include "platform/geometry.h"

class CQelPlan;
class CQelProcessor;
struct CQelWindow;

// Board types: 1 to 9 input boards, 12 to 23 output boards.
inline bool IsInputBoardType(int32_t type)
{
    return type >= 1 && type <= 9;
}
inline bool IsOutputBoardType(int32_t type)
{
    return type >= 12 && type <= 23;
}

class CPro16x16Builder {
public:
    // Piece statuses.
    static constexpr uint8_t kNotPlaced = 0;
    static constexpr uint8_t kUnscaled = 1;
    static constexpr uint8_t kOnOutputScaler = 2;
    static constexpr uint8_t kOnBackground = 0x11;
    static constexpr uint8_t kNoChannel = 0x21;
    static constexpr uint8_t kInvisible = 0xFF;

    // What a builder reads of a signal source, taken once under its lock.
    struct SourceInfo {
        uint32_t id = 0;
        int32_t type = 0;
        int32_t width = 0;
        int32_t height = 0;
        int32_t x = 0; // offset inside its physical input
        int32_t y = 0;
        uint32_t board = 0;
    };
    using SourcePtr = std::shared_ptr<const SourceInfo>;

    struct _tagBoard;

    struct _tagScaler {
        int32_t number = 0;
        Rect source; // the part of the source it reads
        Rect output; // its picture, in the window's scaled picture
    };

    // A source scaled to one size on one board, with the scalers doing it.
    struct _tagSigSrc {
        SourcePtr source;
        _tagBoard* board = nullptr;
        int32_t scaledWidth = 0;
        int32_t scaledHeight = 0;
        std::vector<_tagScaler> scalers;
    };

    // One window's part on one output.
    struct _tagSigOutWin {
        int32_t windowId = 0;
        std::shared_ptr<_tagSigSrc> use;
        Rect wall;
        Rect raster;
        Rect source;
        Rect scaled;
        int32_t scaledWidth = 0;
        int32_t scaledHeight = 0;
        uint8_t status = kNotPlaced;
        // Set by the LED builder on a piece that ends one pixel column
        // short of its screen's right edge; widened by 2 when scaled.
        uint8_t rightEdge = 0;
    };
    using PiecePtr = std::shared_ptr<_tagSigOutWin>;

    // A composed output frame of an input board.
    struct _tagBackgrd {
        int32_t number = 4;
        _tagBoard* owner = nullptr;
        Rect rect;
        std::vector<PiecePtr> pieces;
    };

    struct _tagSigOut {
        int32_t id = 0;
        _tagBoard* owner = nullptr;
        Rect wall;
        Rect raster;
        std::shared_ptr<_tagBackgrd> background;
        std::vector<PiecePtr> pieces;
    };

    struct _tagBoard {
        int32_t number = 0;
        int32_t type = 0;
        int32_t scalerCount = 0;
        Rect bounds;
        int32_t remaining = 0;
        std::vector<std::shared_ptr<_tagSigSrc>> sources;
        std::vector<std::shared_ptr<_tagBackgrd>> backgrounds;
        std::vector<std::shared_ptr<_tagSigOut>> outputs;
    };

    struct RoutePair {
        int32_t key = 0;
        int32_t channel = 0;
    };

    struct _tagContext {
        std::vector<std::shared_ptr<_tagBoard>> boards;
        std::vector<RoutePair> routes;
    };

    struct _tagWindow {
        std::shared_ptr<CQelWindow> window;
        SourcePtr source;
        Rect rect;
        int32_t check = 0;
        bool cropped = false;
        Rect crop;
        std::vector<int32_t> outputs;
    };

    // Takes the context's selected processor; without one the builder
    // builds and sends nothing. The sizes are the largest picture one
    // scaler puts out.
    explicit CPro16x16Builder(CQelPlan* plan, int32_t maxScalerWidth = 1920, int32_t maxScalerHeight = 1080);
    virtual ~CPro16x16Builder();
    CPro16x16Builder(const CPro16x16Builder&) = delete;
    CPro16x16Builder& operator=(const CPro16x16Builder&) = delete;

    virtual void Build();
    // Queues and logs each line, then empties the vector.
    virtual void SendLines(std::vector<std::string>& lines);
    // False without a processor or when the command queue refused a line.
    virtual bool Send();
    virtual bool IsWindowRealized(int32_t windowId) const;
    // The board's remaining scalers; 0 for a board not taking part.
    virtual int32_t GetBoardParam(int32_t board) const;
    virtual int32_t SourceKey(const SourceInfo& source) const;
    virtual int32_t AllocInputChannel(const SourceInfo& source, _tagBoard& board);
    virtual int32_t AllocOutputChannel(int32_t key, _tagBoard& board);
    virtual void CollectBoards();
    virtual void CollectWindows();
    virtual bool AssignScalers(_tagBoard& board, _tagSigOutWin& piece);
    virtual bool PlaceByPiece(_tagWindow& window);
    virtual bool PlaceInput(_tagWindow& window);
    virtual bool PlaceOutput(_tagWindow& window);
    virtual void InputPass(const _tagBoard* board);
    virtual void BackplanePass();
    virtual void OutputPass(const _tagBoard* board);
    virtual std::string GetName() const;

    // Appends the line to the builder's log of the day; a log that cannot
    // be opened loses the line.
    void WriteLog(const std::string& line);
    // Spreads the window's source over its pieces; false when it cannot.
    bool SplitSourceRect(_tagWindow& window);
    bool AddBackground(_tagBoard& board);

    CQelPlan* GetPlan() const { return plan_; }
    // The plan layer may make a builder first and give it the plan after.
    void SetPlan(CQelPlan* plan) { plan_ = plan; }
    const std::vector<std::shared_ptr<_tagWindow>>& GetWindows() const { return windows_; }
    const std::shared_ptr<_tagContext>& GetContext() const { return context_; }
    const std::shared_ptr<CQelProcessor>& GetProcessor() const { return processor_; }

protected:
    // What input-side placement does with one output of a window.
    enum class BackgroundChoice { Use, Skip, Stop, Fail };
    // The background a piece of the window is composed on for the output:
    // the output's own, or a new one of the source board attached to it.
    virtual BackgroundChoice ChooseBackground(_tagBoard& board, _tagSigOut& output, int32_t windowId,
                                              std::shared_ptr<_tagBackgrd>& background);
    // Build's placement of a scaled window: input-side, then output-side.
    virtual bool PlaceScaled(_tagWindow& window);
    // Turns the status poll off and runs the three passes in their order.
    void RunPasses();

    // Where an output of an output board takes its picture from: its
    // background, or else the one the next window would get (-1, -1 when
    // every input board's backgrounds are taken).
    struct BackgroundRoute {
        int32_t board = -1;
        int32_t number = -1;
        int32_t outputId = 0;
    };
    std::vector<BackgroundRoute> BackgroundRoutes() const;

    _tagBoard* FindBoard(int32_t number) const;
    _tagSigOut* FindOutput(int32_t id) const;
    static PiecePtr FindPiece(const _tagSigOut& output, int32_t windowId);
    static std::shared_ptr<_tagSigSrc> FindUse(const _tagBoard& board, uint32_t sourceId, int32_t width,
                                               int32_t height);
    // The use record of the source at the piece's scaled size on the board,
    // made (with its input channel) when missing; empty when no channel is free.
    std::shared_ptr<_tagSigSrc> UseOnOutputBoard(_tagBoard& board, const _tagWindow& window,
                                                 const _tagSigOutWin& piece);
    // Output-side placement on the output boards' scalers. With
    // `scaledOnly`, a window whose `scaled` flag is off (or that the plan no
    // longer has) fails it and so goes by piece.
    bool PlaceOnOutputBoards(_tagWindow& window, bool scaledOnly);
    // An unscaled picture's destination, never larger than the source part
    // it shows; an empty source part leaves it as it is.
    static Rect CutToSource(const Rect& dest, const Rect& source);
    // Where scaler `c` shows part of a scaled piece: `from` inside the
    // scaler's picture, `to` inside the output raster; false when it does not.
    static bool ScalerArea(const _tagScaler& c, const _tagSigOutWin& piece, Rect& from, Rect& to);
    // One window line of a scaled piece: scaler `number`'s picture part
    // `from` shown at `to` in the output raster.
    struct ScalerShare {
        int32_t number = 0;
        Rect from;
        Rect to;
        bool whole = false; // the scaler reads all of the piece
    };
    // Each scaler that reads the whole piece; for a piece cut into tiles,
    // each tile with the part it shows, so that no tile goes unsent.
    static std::vector<ScalerShare> SharesOf(const _tagSigOutWin& piece);
    // False where no line composes a window on an input board's background:
    // a piece placed there is never sent, so it does not count as placed.
    virtual bool SendsBackgrounds() const { return true; }
    bool WallPosition(int32_t outputId, int32_t& row, int32_t& col) const;
    // Width, height and offset of the frame the source is cut from: its
    // carrier input for a cut-out source; false when that input is missing
    // or the frame has no signal (no size to send).
    bool FrameOf(const SourceInfo& source, int32_t& width, int32_t& height, int32_t& dx, int32_t& dy) const;
    // Lines the command queue refused since construction.
    int32_t RefusedLines() const { return refused_; }

    CQelPlan* plan_;
    std::shared_ptr<CQelProcessor> processor_;
    int32_t maxScalerWidth_;
    int32_t maxScalerHeight_;
    std::vector<std::shared_ptr<void>> spare_;
    std::vector<std::shared_ptr<_tagWindow>> windows_;
    std::shared_ptr<_tagContext> context_;
    // Build's undo of a window's failed placement; everything placement
    // changes in the context is kept here first.
    CPlacementUndo undo_;

private:
    int32_t refused_ = 0;
    std::unique_ptr<CBuilderLog> log_; // named after GetName at the first line
};

// Shared by the builders and the switch senders: queueing a line as a
// paced command. False when the queue refused the line; an empty line is
// not queued.
bool QueueBuilderLine(CQelProcessor& processor, const std::string& line);
// The selected processor of the context; empty when none.
std::shared_ptr<CQelProcessor> SelectedProcessor();
// Sets each plan window's resource flag from what the built builder placed.
void MarkRealized(const CQelPlan& plan, const CPro16x16Builder& builder);

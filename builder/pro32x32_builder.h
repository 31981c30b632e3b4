#pragma once
// The layout builder of the 32x32 processor: the root's placement with the
// output side tried first, every command queued on its own as soon as it is
// formed, and each layout closed by per-board display updates and the two
// crosspoint updates.
#include <array>
#include <cstdint>
#include <string>

#include "builder/pro16x16_builder.h"

class CPro32x32Builder : public CPro16x16Builder {
public:
    template <size_t N>
    using Args = std::array<int32_t, N>;

    // Output boards go on the wire as their id minus 100.
    static int32_t OutputBoardNumber(int64_t boardId);

    explicit CPro32x32Builder(CQelPlan* plan);
    ~CPro32x32Builder() override;

    // False without a processor or when the command queue refused a line;
    // the lines after a refused one are still queued.
    bool Send() override;
    void InputPass(const _tagBoard* board) override;
    void BackplanePass() override;
    void OutputPass(const _tagBoard* board) override;
    std::string GetName() const override;

    // Logs the line, then queues it; false when the queue refused it.
    virtual bool SendOne(const std::string& line);

    // One command each, with its arguments in the order the line takes them.
    virtual bool CmdVideoOutputSetup(const Args<11>& a);
    virtual bool CmdInputScalerSetup(const Args<11>& a);
    virtual bool CmdInputUpdateDisplay(int32_t board);
    virtual bool CmdOutputWindowsLayout(const Args<4>& a);
    virtual bool CmdOutputAddWindows(const Args<10>& a);
    virtual bool CmdOutputAddWindowsEnd();
    virtual bool CmdOutputScalerSetup(const Args<11>& a);
    virtual bool CmdOutputClearWindow(int32_t board, int32_t port);
    virtual bool CmdOutputUpdateDisplay(int32_t board);
    virtual bool CmdBackplaneSwitch(const Args<4>& a);
    virtual bool CmdCrosspointUpdate(int32_t value);

protected:
    // The window's pieces look for a background of their own window on the
    // source board; none left fails the input side.
    BackgroundChoice ChooseBackground(_tagBoard& board, _tagSigOut& output, int32_t windowId,
                                      std::shared_ptr<_tagBackgrd>& background) override;
    // The output side first; the input side then only sees pieces that
    // already have a status.
    bool PlaceScaled(_tagWindow& window) override;

    void LogSeparator();
    // Lines refused since construction; Send reports those of its own run.
    int32_t RefusedOne() const { return refusedOne_; }
    // Logs the warning and answers false when lines were refused since `before`.
    bool ReportRefused(int32_t before, const char* what) const;

private:
    int32_t refusedOne_ = 0;
};

#include "frame/source_drag.h"

void SourceDragMachine::OnLeftDown(bool inSourcePage)
{
    state_ = inSourcePage ? kArmed : kIdle;
}

SourceDragMachine::Step SourceDragMachine::OnMove(bool overWallView)
{
    if (state_ == kIdle)
        return {};
    if (overWallView) {
        if (state_ == kArmed) {
            state_ = kDragging;
            return {Action::Capture, true};
        }
        return {Action::None, true};
    }
    if (state_ == kDragging) {
        state_ = kArmed;
        return {Action::Release, true};
    }
    return {Action::None, true};
}

SourceDragMachine::Action SourceDragMachine::OnLeftUp()
{
    const bool dragging = state_ == kDragging;
    state_ = kIdle;
    return dragging ? Action::Drop : Action::None;
}

SourceDragMachine::Action SourceDragMachine::CheckButton(bool leftDown)
{
    if (state_ == kIdle || leftDown)
        return Action::None;
    const bool dragging = state_ == kDragging;
    state_ = kIdle;
    return dragging ? Action::Release : Action::None;
}

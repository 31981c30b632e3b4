#pragma once
// Dragging a signal source from the control bar's source page onto the
// wall view, as a state machine apart from the events that drive it:
// 0 idle, 1 armed (pressed inside the source page), 2 dragging (over the
// wall view, the mouse captured and the drag cursor shown).
class SourceDragMachine {
public:
    enum State { kIdle = 0, kArmed = 1, kDragging = 2 };
    enum class Action { None, Capture, Release, Drop };

    struct Step {
        Action action = Action::None;
        bool consumed = false;
    };

    int State() const { return state_; }

    // Left button down anywhere; arms only inside the source page.
    void OnLeftDown(bool inSourcePage);
    // A move while armed or dragging is consumed; entering the wall view
    // captures, leaving it releases.
    Step OnMove(bool overWallView);
    // Left button up: a drag drops (the caller releases the capture first).
    Action OnLeftUp();
    // After every message: a button found up ends whatever was under way.
    Action CheckButton(bool leftDown);

private:
    int state_ = kIdle;
};

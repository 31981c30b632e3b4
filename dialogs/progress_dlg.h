#pragma once
// The reset progress window: a modeless, top-most tool window, a little
// transparent, that shows the owner's four counters in red. Neither Enter
// nor Escape closes it; the owner shows and hides it.
#include <QDialog>

class CDlgProgress : public QDialog {
    Q_OBJECT
public:
    static constexpr int kAlpha = 180; // of 255

    explicit CDlgProgress(QWidget* parent = nullptr);

    // Step index (from 0), step count, and the step's own done and total.
    void SetCounters(int step, int steps, int done, int total);
    int Step() const { return step_; }
    int Steps() const { return steps_; }
    int Done() const { return done_; }
    int Total() const { return total_; }
    QString Text() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int step_ = 0;
    int steps_ = 0;
    int done_ = 0;
    int total_ = 0;
};

#pragma once
#include "tests/support/ui/scripted_modal.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

namespace tavrix::test {

// Base of UI tests that script prompts: every queued answer must be used.
class UiTest : public testing::Test {
protected:
    ScriptedModal& modal() { return scriptedModal(); }
    void TearDown() override { EXPECT_EQ(scriptedModal().pendingAnswers(), 0u) << "scripted answers never asked for"; }
};

// Delivers queued events until `done` holds; the deadline is a safety net
// against a broken build hanging, not a timing assertion.
template <class Pred>
bool pumpUntil(Pred done, int deadlineMs = 10000)
{
    QDeadlineTimer deadline(deadlineMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// Moves the mouse to `pos` over the widget with no button held. QTest does
// that by moving the global cursor, which reaches no hidden widget; this
// hands the move to the widget itself.
inline void hoverAt(QWidget& widget, QPoint pos)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), QPointF(widget.mapToGlobal(pos)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &move);
}

} // namespace tavrix::test

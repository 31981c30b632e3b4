#pragma once
#include <QObject>
#include <QPointer>
#include <functional>

namespace ui {

// Queues `fn` onto the UI thread; callable from any thread. The call is
// dropped when the receiver has been deleted by the time it would run, so
// worker threads hand over copies of their values, never references.
// A worker that may outlive the receiver keeps a QPointer made on the UI
// thread; a raw pointer must still be alive when postToUi is called.
// False when there is no application (or no receiver) to post to.
bool postToUi(const QPointer<QObject>& receiver, std::function<void()> fn);

inline bool postToUi(QObject* receiver, std::function<void()> fn)
{
    return postToUi(QPointer<QObject>(receiver), std::move(fn));
}

} // namespace ui

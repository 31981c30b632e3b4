#pragma once
#include <QObject>
#include <QTimer>

namespace ui {

// A repeating timer on the UI thread whose period is given in production
// milliseconds and run at the clock's scale, so tests can shorten it.
class UiTimer : public QObject {
    Q_OBJECT
public:
    explicit UiTimer(QObject* parent = nullptr);

    // Starts, or restarts with a new period.
    void start(int productionMs);
    void stop();
    bool isActive() const { return timer_.isActive(); }
    int period() const { return period_; } // production milliseconds

signals:
    void timeout();

private:
    QTimer timer_;
    int period_ = 0;
};

} // namespace ui

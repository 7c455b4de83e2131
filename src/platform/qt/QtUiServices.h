#pragma once
// The application-wide mouse pointer and the pending-event pump on Qt.
#include "platform/EventPump.h"
#include "platform/ScreenPointer.h"

class QtScreenPointer : public ScreenPointer {
public:
    int MousePointer() const override { return pointer_; }
    void setMousePointer(int pointer) override;

private:
    int pointer_ = 0;
};

#include <QElapsedTimer>

// Long commands call DoEvents after every record or label, thousands of times a second; running
// the event loop each time would repaint the window as often and cost far more than the work
// itself. Pending events therefore run at most every `intervalMs` milliseconds (the first call
// always runs them), which keeps clicks and repainting prompt to the eye.
class QtEventPump : public EventPump {
public:
    explicit QtEventPump(int intervalMs = 20) : intervalMs_(intervalMs) {}
    void DoEvents() override;
    // While one call waits (on a database that is slow to answer): the window paints and stays a
    // window, but takes no keys, clicks or device input, so that nothing starts inside the call
    // and a scanner's next keys reach the window in their order once it has ended.
    static void RepaintOnly();

private:
    int intervalMs_;
    QElapsedTimer sinceLast_;
};

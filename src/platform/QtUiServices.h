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

class QtEventPump : public EventPump {
public:
    void DoEvents() override;
};

#pragma once
// A mouse pointer and an event pump for tests: the pointer is a number, the pump counts its calls
// and can run a test's action at a chosen call (a click arriving in the middle of a long command).
#include "platform/EventPump.h"
#include "platform/ScreenPointer.h"

#include <functional>

class FakeScreenPointer : public ScreenPointer {
public:
    int pointer = 0;
    int MousePointer() const override { return pointer; }
    void setMousePointer(int p) override { pointer = p; }
};

class FakeEventPump : public EventPump {
public:
    int calls = 0;
    std::function<void(int call)> onCall;
    void DoEvents() override {
        ++calls;
        if (onCall) onCall(calls);
    }
};

#pragma once
// Lets pending user-interface events run in the middle of a long command (the import, the print
// job), which is how a click on CANCEL reaches a running job.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void DoEvents() = 0;
};

#pragma once
// The printing system's own view of one printer, for the IT person's check: whether it is
// installed, whether it is the system's default and whether it takes jobs now.
#include <QString>

struct PrintQueueStatus {
    bool present = false;
    bool isDefault = false;
    bool accepting = false;  // installed, not stopped and not rejecting jobs
    QString state;           // "idle", "printing", "stopped", "rejecting jobs" or "not installed"
};

PrintQueueStatus QueryPrintQueue(const QString& name);
// The system's default printer, "" when there is none.
QString DefaultPrintQueue();

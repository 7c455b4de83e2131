#pragma once
// The platform pieces the main window works through, chosen once in main() (Qt adapters) or by a
// test (fakes). The window does not own them.
class Dialogs;
class EventPump;
class PrinterSetupDialog;
class Printer;
class RecordSetFactory;
class ScreenPointer;
class SerialPort;
class SettingsStore;

struct TagwellServices {
    SettingsStore& settings;
    Dialogs& dialogs;
    SerialPort& serial;
    ScreenPointer& screen;
    EventPump& events;
    // The store's databases; without them every look-up finds nothing.
    RecordSetFactory* recordSets = nullptr;
    // The printer object and the platform's printer dialog; without a printer nothing prints.
    Printer* printer = nullptr;
    PrinterSetupDialog* printerSetup = nullptr;
};

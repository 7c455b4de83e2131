#pragma once
// A main window on fakes: scripted dialogs, a settings store in memory, a fake serial port.
#include "FakeSerialPort.h"
#include "FakeUi.h"
#include "MemorySettingsStore.h"
#include "ScriptedDialogs.h"
#include "output/RecordingPrinter.h"
#include "shell/frmTagwell.h"

#include <memory>

struct WindowFixture {
    MemorySettingsStore settings;
    ScriptedDialogs dialogs;
    FakeSerialPort serial;
    FakeScreenPointer screen;
    FakeEventPump events;
    RecordingPrinter printer;
    std::unique_ptr<frmTagwell> window;
    std::vector<RecordedMessage> startupMessages;
    std::vector<FileDialogRequest> startupOpenRequests;

    frmTagwell& start() {
        window = std::make_unique<frmTagwell>(TagwellServices{settings, dialogs, serial, screen, events, nullptr, &printer});
        window->Form_Load();
        // What start-up asked (the dictionary dialog, its warnings) is checked by the start-up
        // tests; the others begin with a clean record.
        startupMessages = dialogs.messages;
        startupOpenRequests = dialogs.openRequests;
        dialogs.messages.clear();
        dialogs.openRequests.clear();
        return *window;
    }
    void set(const char* key, const QString& value) { settings.SaveSetting(kRegApp, kRegSec, QString::fromLatin1(key), value); }
};

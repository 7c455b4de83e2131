#pragma once
// A main window on fakes: scripted dialogs, a settings store in memory (or the one a test gives),
// a fake serial port, a recording printer; record sets only when a test gives them.
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

    // Runs the start-up sequence; what it asked stays in dialogs.transcript.
    frmTagwell& start(RecordSetFactory* recordSets = nullptr, SettingsStore* store = nullptr) {
        window = std::make_unique<frmTagwell>(
            TagwellServices{store ? *store : settings, dialogs, serial, screen, events, recordSets, &printer});
        window->Form_Load();
        return *window;
    }
    void set(const QString& key, const QString& value) { settings.SaveSetting(kRegApp, kRegSec, key, value); }
};

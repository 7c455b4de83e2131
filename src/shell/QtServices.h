#pragma once
// The Qt adapters of every platform interface, made together in the order they depend on each
// other: what the window program runs on (and what its start-up and memory benchmarks measure).
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtOdbcRecordSet.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtPrinterSetup.h"
#include "platform/qt/QtSerialPort.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/QtUiServices.h"
#include "shell/Services.h"

struct QtServices {
    // `iniPath` empty: the settings file in the user's configuration folder.
    explicit QtServices(const QString& iniPath = {})
        : settings(iniPath), serial(settings), printer(dialogs), printerSetup(printer) {
        recordSets.setWhileWaiting(&QtEventPump::RepaintOnly);
    }
    QtServices(const QtServices&) = delete;
    QtServices& operator=(const QtServices&) = delete;

    TagwellServices services() {
        return TagwellServices{settings, dialogs, serial, screen, events, &recordSets, &printer, &printerSetup};
    }
    // The window that dialogs and the printer dialog open over.
    void setOwner(QWidget* owner) {
        dialogs.setOwner(owner);
        printerSetup.setOwner(owner);
    }

    QtSettingsStore settings;
    QtDialogs dialogs;
    QtSerialPort serial;
    QtScreenPointer screen;
    QtEventPump events;
    QtOdbcRecordSetFactory recordSets;
    QtPrinter printer;
    QtPrinterSetupDialog printerSetup;
};

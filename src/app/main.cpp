// Tagwell: the label program's window. The Qt adapters are chosen here, once.
#include "platform/QtDialogs.h"
#include "platform/QtOdbcRecordSet.h"
#include "platform/QtPrinter.h"
#include "platform/QtPrinterSetup.h"
#include "platform/QtSettingsStore.h"
#include "platform/QtUiServices.h"
#include "shell/frmTagwell.h"

#include <QApplication>

#include "platform/QtSerialPort.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tagwell"));
    QApplication::setApplicationVersion(QStringLiteral(TAGWELL_VERSION));

    QtSettingsStore settings;
    QtDialogs dialogs;
    QtSerialPort serial(settings);
    QtScreenPointer screen;
    QtEventPump events;
    QtOdbcRecordSetFactory recordSets;
    QtPrinter printer(dialogs);
    QtPrinterSetupDialog printerSetup(printer);

    frmTagwell window(TagwellServices{settings, dialogs, serial, screen, events, &recordSets, &printer, &printerSetup});
    dialogs.setOwner(&window);
    printerSetup.setOwner(&window);
    window.Form_Load();
    window.show();
    return app.exec();
}

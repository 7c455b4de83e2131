// Tagwell: the label program's window. The Qt adapters are chosen here, once.
#include "platform/qt/HeapSettings.h"
#include "shell/QtServices.h"
#include "shell/DemoStore.h"
#include "shell/frmTagwell.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
    KeepFreedHeapForReuse();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tagwell"));
    QApplication::setApplicationVersion(QStringLiteral(TAGWELL_VERSION));

    QtServices qt;
    // Installed, Tagwell ships the demo store beside itself; a user's first start opens on a copy
    // of it in the user's data folder.
    SetUpDemoStoreOnFirstStart(qt.settings,
                               QApplication::applicationDirPath() + QStringLiteral("/" TAGWELL_DEMO_FROM_BINDIR),
                               QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/demo"));
    frmTagwell window(qt.services());
    qt.setOwner(&window);
    window.Form_Load();
    window.show();
    return app.exec();
}

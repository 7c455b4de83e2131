// Tagwell: the label program's window. The Qt adapters are chosen here, once.
#include "platform/HeapSettings.h"
#include "platform/QtServices.h"
#include "shell/frmTagwell.h"

#include <QApplication>

int main(int argc, char** argv) {
    KeepFreedHeapForReuse();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tagwell"));
    QApplication::setApplicationVersion(QStringLiteral(TAGWELL_VERSION));

    QtServices qt;
    frmTagwell window(qt.services());
    qt.setOwner(&window);
    window.Form_Load();
    window.show();
    return app.exec();
}

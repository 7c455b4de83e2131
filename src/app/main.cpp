// Tagwell: the label program's window. The Qt adapters are chosen here, once.
#include "platform/QtDialogs.h"
#include "platform/QtSettingsStore.h"
#include "platform/QtUiServices.h"
#include "shell/frmTagwell.h"

#include <QApplication>

#include "platform/SerialPort.h"
#include "platform/TagwellError.h"

namespace {
// Until the serial adapter lands: keeps the port number and line settings only.
class ConfiguredSerialPort : public SerialPort {
public:
    int CommPort() const override { return port_; }
    void setCommPort(int port) override { port_ = port; }
    QString Settings() const override { return settings_; }
    void setSettings(const QString& s) override { settings_ = s; }
    bool PortOpen() const override { return false; }
    void setPortOpen(bool) override { throw TagwellError(ErrorNumber::InvalidPortNumber, QStringLiteral("Serial ports are not available in this build.")); }
    void Output(const QByteArray&) override { throw TagwellError(ErrorNumber::PortNotOpen, QStringLiteral("Port not open")); }
private:
    int port_ = 1;
    QString settings_;
};
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tagwell"));
    QApplication::setApplicationVersion(QStringLiteral(TAGWELL_VERSION));

    QtSettingsStore settings;
    QtDialogs dialogs;
    ConfiguredSerialPort serial;
    QtScreenPointer screen;
    QtEventPump events;

    frmTagwell window(TagwellServices{settings, dialogs, serial, screen, events});
    dialogs.setOwner(&window);
    window.Form_Load();
    window.show();
    return app.exec();
}

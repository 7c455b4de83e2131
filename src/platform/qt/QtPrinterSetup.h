#pragma once
// Laser Printer Setup on the platform's printer dialog: the printer chosen there becomes the
// current printer of the Qt printer for the later laser jobs of this run and, being chosen with
// the dialog's "printer default" setting, the user's default printer in the printing system (the
// CUPS user default that `lpoptions -d` sets), so later runs start on it too.
#include "platform/Printer.h"

class QWidget;
class QtPrinter;

class QtPrinterSetupDialog : public PrinterSetupDialog {
public:
    QtPrinterSetupDialog(QtPrinter& printer, QWidget* owner = nullptr) : printer_(printer), owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }
    // Raises a TagwellError when the chosen printer could not be made the default; it is current
    // for this run all the same.
    bool ShowPrinterSetup() override;

private:
    QtPrinter& printer_;
    QWidget* owner_;
};

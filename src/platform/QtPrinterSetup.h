#pragma once
// Laser Printer Setup on the platform's printer dialog: the printer and settings chosen there
// become the current printer of the Qt printer for the later laser jobs of this run.
#include "output/PrintJob.h"

class QWidget;
class QtPrinter;

class QtPrinterSetupDialog : public PrinterSetupDialog {
public:
    QtPrinterSetupDialog(QtPrinter& printer, QWidget* owner = nullptr) : printer_(printer), owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }
    bool ShowPrinterSetup() override;

private:
    QtPrinter& printer_;
    QWidget* owner_;
};

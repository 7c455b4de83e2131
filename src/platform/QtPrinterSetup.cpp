#include "platform/QtPrinterSetup.h"

#include "platform/QtPrinter.h"

#include <QPrintDialog>

bool QtPrinterSetupDialog::ShowPrinterSetup() {
    QPrintDialog dialog(&printer_.device(), owner_);
    dialog.setWindowTitle(QStringLiteral("Laser Printer Setup"));
    // A setup, not a print: no page range or copies to choose.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted) return false;
    printer_.adoptDeviceSettings();
    return true;
}

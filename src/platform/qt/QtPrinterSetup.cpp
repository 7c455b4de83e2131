#include "platform/qt/QtPrinterSetup.h"

#include "platform/qt/QtCupsQueue.h"
#include "platform/qt/QtPrinter.h"
#include "platform/TagwellError.h"

#include <QPrintDialog>
#include <QPrinter>

bool QtPrinterSetupDialog::ShowPrinterSetup() {
    // The dialog edits a printer of its own, opened on the current one, so that Cancel leaves the
    // current printer exactly as it was.
    QPrinter chosen(QPrinter::HighResolution);
    if (printer_.DeviceName() == QtPrinter::fileDeviceName()) chosen.setOutputFormat(QPrinter::PdfFormat);
    else chosen.setPrinterName(printer_.DeviceName());
    chosen.setPageLayout(printer_.pageLayout());

    QPrintDialog dialog(&chosen, owner_);
    dialog.setWindowTitle(QStringLiteral("Laser Printer Setup"));
    // A setup, not a print: no page range or copies to choose.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted) return false;
    printer_.adoptDeviceSettings(chosen);
    if (chosen.outputFormat() == QPrinter::NativeFormat) {
        const QString why = CupsQueue::SetUserDefault(chosen.printerName());
        if (!why.isEmpty()) throw TagwellError(ErrorNumber::DeviceIo, why);
    }
    return true;
}

#include "output/DymoPrinter.h"

#include "grid/LabelGrid.h"
#include "output/LabelFormat.h"
#include "output/LabelOutput.h"
#include "platform/FileAccess.h"
#include "platform/Printer.h"
#include "shell/common/Common.h"
#include "shell/common/Outcome.h"
#include "shell/common/ProgramOptions.h"

#include <QFile>

namespace {

// Makes the first installed printer named exactly `name` current; none matching leaves the
// current printer as it is.
void selectPrinter(Printer& printer, const QString& name) {
    const QStringList names = printer.Printers();
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            printer.setPrinter(static_cast<int>(i));
            return;
        }
    }
}

}  // namespace

bool PrintDymoLabel(const LabelOutput& out, int row) {
    if (IsBlank(out.grid.TextMatrix(row, GridCol::Sku))) return true;
    QFile file;
    if (!OpenForReading(file, out.options.SierraFormat1, FileBound::LabelFormat)) {
        if (row == 1) out.outcome.addFailure(QString::fromLatin1(kDymoFormatProblem));
        return false;
    }
    Printer& printer = out.printer;
    const QString saved = printer.DeviceName();
    const QString& dymo = out.options.SierraDymoDeviceName;
    const bool switching = dymo != saved;  // exact, case-sensitive
    if (switching) selectPrinter(printer, dymo);
    printer.EndDoc();
    printer.setOrientation(PrinterOrientation::Landscape);

    // The previous printer comes back in portrait even when drawing the label fails.
    struct Restore {
        Printer& printer;
        bool switching;
        const QString& saved;
        ~Restore() {
            if (switching) selectPrinter(printer, saved);
            printer.setOrientation(PrinterOrientation::Portrait);
        }
    } restore{printer, switching, saved};

    DrawLabelFormat(file, printer, out.grid, row, 0, 0);
    file.close();
    printer.EndDoc();
    return true;
}

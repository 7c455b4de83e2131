#pragma once
// The printer object on QPrinter + QPainter (CUPS on Linux, the spooler on Windows).
//
// The installed printers are listed in the platform's order, followed by one more member,
// "Print to File (PDF)", whose documents are PDF files. With no printer installed that member is
// current. A document begins at the first drawing after the previous EndDoc; a PDF document asks
// for its file name then (through Dialogs::ShowSave), unless one was set by setOutputFile or by
// the printer dialog. Pages are written out as they are finished.
//
// Under CUPS a printer's document is drawn as PDF on the queue's default page (a Dymo queue's
// label) and handed to the queue at EndDoc under the document name; a queue that refuses it, or a
// scheduler that does not answer, makes the job's outcome a failure (JobOutcome) instead of a
// silent loss.
#include "platform/Printer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <QHash>
#include <QPageLayout>

#include <memory>
#include <unordered_map>

class Dialogs;
class QPrinter;
class QTemporaryFile;
class StagedFile;

class QtPrinter : public PrinterState {
public:
    explicit QtPrinter(Dialogs& dialogs);
    ~QtPrinter() override;
    QtPrinter(const QtPrinter&) = delete;
    QtPrinter& operator=(const QtPrinter&) = delete;

    static QString fileDeviceName();

    void setFontSize(double points) override;
    double TextWidth(const QString& text) override;
    void Print(const QString& text) override;
    void Line(double x1, double y1, double x2, double y2, PrinterColor color, LineFigure figure) override;
    void DrawBarcode(const QString& data, double left, double top, double width, double height) override;
    void Scale() override {}
    void NewPage() override;
    // A PDF document's file is put in place here; when it cannot be completed (a full disk, a
    // folder gone) the previous file stays and a TagwellError says why.
    void EndDoc() override;
    QString DeviceName() const override;
    QStringList Printers() const override { return names_; }
    void setPrinter(int index) override;
    void StartJob() override;
    void FinishJob() override;
    PrintOutcome JobOutcome() const override { return outcome_; }
    void setDocumentName(const QString& name) override { documentName_ = name; }

    // Makes the PDF member current with a fixed file: later documents are written there without
    // asking (several documents of one job go to name-2.pdf, name-3.pdf, ...).
    void setOutputFile(const QString& path);

    // The page of the current printer, to start the platform's printer dialog from. After the
    // dialog was accepted, adoptDeviceSettings(dialog's printer) makes the chosen printer current
    // (a printer on its own default page, "Print to File (PDF)" with the file and page chosen), in
    // the orientation chosen. Changes apply from the next document.
    QPageLayout pageLayout() const;
    void adoptDeviceSettings(const QPrinter& chosen);

    // The size in twips of the area the queue `name` prints of its default page in `orientation`
    // (PrinterOrientation), as a document on it is set up; empty for a name that is not a queue of
    // the printing system.
    QSizeF printableTwips(const QString& name, int orientation) const;

    // A queue's default page upright, with its printable area, and its turn of a landscape page.
    struct QueuePage {
        QPageLayout portrait;
        int turn = 90;
    };

private:
    bool ensureDocument();
    bool toFile() const { return current_ == names_.size() - 1; }
    void fail(const QString& why);
    bool beginDocument();
    QString documentFile();
    void applyDevice(bool pdfDefaults);
    QFont makeFont() const;
    struct FontEntry {
        quint32 key;
        QFont font;
        QFontMetricsF metrics;
    };
    const FontEntry& currentFont();
    void forgetFonts();
    double toDevice(double twips) const { return twips * unitsPerTwip_; }
    QColor color(PrinterColor c) const;

    Dialogs& dialogs_;
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    QStringList names_;
    int current_ = 0;
    QString fixedFile_;
    std::unique_ptr<StagedFile> staged_;  // the open PDF document's file until it is complete

    bool discarded_ = false;   // this document's output was declined or failed: draw nothing
    double unitsPerTwip_ = 1;  // device units (dots) per twip
    std::unordered_map<quint32, FontEntry> fontCache_;  // by size and style, for the current device

    int jobDepth_ = 0;
    QString jobFile_;          // the file the job's first PDF document went to
    bool jobDeclined_ = false; // the user declined the job's file: its later documents too
    int jobDocuments_ = 0;

    PrintOutcome outcome_;                   // of the job, or of the last document outside a job
    QString documentName_;                   // the printing system's name for the documents
    std::unique_ptr<QTemporaryFile> spool_;  // CUPS: the document in hand, submitted at EndDoc
    const QueuePage& currentQueue();
    QHash<QString, QueuePage> queuePages_;  // each queue's default page, as first asked
};

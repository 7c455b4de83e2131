#pragma once
// A printer for tests and dry runs: it draws nothing, measures text by a fixed rule and records
// every operation as a trace line (the format of TracingPrinter).
//
// Text measure: each character is half an em wide (FontSize x 10 twips), six tenths when bold;
// Print moves CurrentY down by 1.2 em (FontSize x 24 twips) and CurrentX back to 0.
#include "output/TracingPrinter.h"

#include <QStringList>

// The device behind the recording: state and measures, no output.
class SimulatedPrinter : public PrinterState {
public:
    explicit SimulatedPrinter(QStringList printers = {QStringLiteral("Laser")}, int current = 0);

    double TextWidth(const QString& text) override;
    void Print(const QString& text) override;
    void Line(double, double, double, double, PrinterColor, LineFigure) override { open_ = true; }
    void DrawBarcode(const QString&, double, double, double, double) override { open_ = true; }
    void Scale() override {}
    void NewPage() override { open_ = true; }
    void EndDoc() override;
    QString DeviceName() const override;
    QStringList Printers() const override { return printers_; }
    void setPrinter(int index) override;
    int jobDepth() const { return jobDepth_; }
    void StartJob() override {
        if (jobDepth_++ == 0) outcome_ = {};
    }
    void FinishJob() override { --jobDepth_; }
    PrintOutcome JobOutcome() const override { return outcome_; }
    void setDocumentName(const QString& name) override { documentName_ = name; }
    const QString& documentName() const { return documentName_; }

    // Makes the printing system refuse every document from the `n`th one on (1 = the first), or
    // the user decline where the documents go.
    void failFrom(int n, const QString& failure) { failFrom_ = n, failure_ = failure; }
    void declineDocuments(bool on) { decline_ = on; }

private:
    bool open_ = false;  // something was drawn since the last EndDoc: a document was begun
    PrintOutcome outcome_;
    QString documentName_;
    int failFrom_ = 0;
    QString failure_;
    bool decline_ = false;
    int ended_ = 0;  // documents ended
    QStringList printers_;
    int current_ = 0;
    int jobDepth_ = 0;
};

namespace detail {
struct SimulatedPrinterHolder {
    SimulatedPrinter device;
};
}  // namespace detail

class RecordingPrinter : private detail::SimulatedPrinterHolder, public TracingPrinter {
public:
    explicit RecordingPrinter(QStringList printers = {QStringLiteral("Laser")}, int current = 0);
    RecordingPrinter(const RecordingPrinter&) = delete;
    RecordingPrinter& operator=(const RecordingPrinter&) = delete;
    const QStringList& lines() const { return lines_; }
    void clear() { lines_.clear(); }
    SimulatedPrinter& simulated() { return device; }

private:
    QStringList lines_;
};

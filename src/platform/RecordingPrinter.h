#pragma once
// A printer for tests and dry runs: it draws nothing, measures text by a fixed rule and records
// every operation as a trace line (the format of TracingPrinter).
//
// Text measure: each character is half an em wide (FontSize x 10 twips), six tenths when bold;
// Print moves CurrentY down by 1.2 em (FontSize x 24 twips) and CurrentX back to 0.
#include "platform/TracingPrinter.h"

#include <QStringList>

// The device behind the recording: state and measures, no output.
class SimulatedPrinter : public Printer {
public:
    explicit SimulatedPrinter(QStringList printers = {QStringLiteral("Laser")}, int current = 0);

    double FontSize() const override { return fontSize_; }
    void setFontSize(double points) override { fontSize_ = points; }
    bool FontBold() const override { return bold_; }
    void setFontBold(bool on) override { bold_ = on; }
    bool FontItalic() const override { return italic_; }
    void setFontItalic(bool on) override { italic_ = on; }
    bool FontUnderline() const override { return underline_; }
    void setFontUnderline(bool on) override { underline_ = on; }
    PrinterColor ForeColor() const override { return fore_; }
    void setForeColor(PrinterColor color) override { fore_ = color; }
    double CurrentX() const override { return x_; }
    void setCurrentX(double twips) override { x_ = twips; }
    double CurrentY() const override { return y_; }
    void setCurrentY(double twips) override { y_ = twips; }
    double TextWidth(const QString& text) override;
    void Print(const QString& text) override;
    int DrawWidth() const override { return drawWidth_; }
    void setDrawWidth(int pixels) override { drawWidth_ = pixels; }
    void Line(double, double, double, double, PrinterColor, LineFigure) override {}
    void DrawBarcode(const QString&, double, double, double, double) override {}
    void Scale() override {}
    void NewPage() override {}
    void EndDoc() override;
    QString DeviceName() const override;
    int Orientation() const override { return orientation_; }
    void setOrientation(int orientation) override { orientation_ = orientation; }
    QStringList Printers() const override { return printers_; }
    void setPrinter(int index) override;
    int jobDepth() const { return jobDepth_; }
    void StartJob() override { ++jobDepth_; }
    void FinishJob() override { --jobDepth_; }

private:
    QStringList printers_;
    int current_ = 0;
    double fontSize_ = 10;
    bool bold_ = false, italic_ = false, underline_ = false;
    PrinterColor fore_;
    double x_ = 0, y_ = 0;
    int drawWidth_ = 1;
    int orientation_ = PrinterOrientation::Portrait;
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

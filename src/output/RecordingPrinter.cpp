#include "output/RecordingPrinter.h"

SimulatedPrinter::SimulatedPrinter(QStringList printers, int current)
    : printers_(std::move(printers)), current_(current) {}

double SimulatedPrinter::TextWidth(const QString& text) {
    return static_cast<double>(text.size()) * fontSize_ * (bold_ ? 12 : 10);
}

void SimulatedPrinter::Print(const QString&) {
    open_ = true;
    x_ = 0;
    y_ += fontSize_ * 24;
}

void SimulatedPrinter::EndDoc() {
    if (open_) {
        ++ended_;
        if (decline_) outcome_.declined = true;
        else if (!failure_.isEmpty() && ended_ >= failFrom_ && outcome_.failure.isEmpty()) outcome_.failure = failure_;
    }
    open_ = false;
    x_ = 0;
    y_ = 0;
}

QString SimulatedPrinter::DeviceName() const {
    return current_ >= 0 && current_ < printers_.size() ? printers_[current_] : QString();
}

void SimulatedPrinter::setPrinter(int index) {
    if (index >= 0 && index < printers_.size()) current_ = index;
}

RecordingPrinter::RecordingPrinter(QStringList printers, int current)
    : detail::SimulatedPrinterHolder{SimulatedPrinter(std::move(printers), current)},
      TracingPrinter(device, [this](const QString& line) { lines_ << line; }) {}

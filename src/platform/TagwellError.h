#pragma once
// The one error type of Tagwell. Every failure that a command does not handle on the spot travels as
// a TagwellError carrying a number and a description, the way the stores' other programs report
// them ("Error # 8002 ..."). Each command's guard catches it and shows the description.
#include <QString>
#include <stdexcept>

class TagwellError : public std::runtime_error {
public:
    TagwellError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), number_(number), description_(description) {}
    int number() const { return number_; }
    const QString& description() const { return description_; }

private:
    int number_;
    QString description_;
};

// Error numbers used across the program.
namespace ErrorNumber {
constexpr int Overflow = 6;
constexpr int InvalidProcedureCall = 5;
constexpr int FileNotFound = 53;
constexpr int PathFileAccess = 75;
constexpr int InvalidPropertyValue = 380;
constexpr int DeviceIo = 57;
constexpr int InvalidPortNumber = 8002;
constexpr int PortAlreadyOpen = 8005;
constexpr int PortNotOpen = 8018;
constexpr int PortWriteTimeout = 8020;
}  // namespace ErrorNumber

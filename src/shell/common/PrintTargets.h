#pragma once
// The print targets that SierraPrint chooses among, written down once: what the print button says,
// how many labels make a sheet, which driver prints, which options hold the format file and the
// offsets, how large a label is. The grid, the print job, the drivers, the options dialog and the
// command line read this table instead of deciding on the target number themselves.
#include "shell/common/ProgramOptions.h"

#include <QList>
#include <QString>

#include <array>
#include <cstddef>

enum class PrintDriver { Sierra, Dymo, Laser };

struct PrintTarget {
    int code;                             // the value of SierraPrint
    PrintDriver driver;
    const char* name;                     // as messages and the command line name it
    const char* printCaption;             // the print button's caption
    int labelsPerSheet;                   // LabelsPerSheet: the grid never has fewer data rows
    const char* optionButton;             // the option button of the options dialog
    const char* formatKey;                // the settings key of its format file
    QString ProgramOptions::*format;      // the program option of that key
    // The size of one label in twips (none for the Sierra Sport, which lays out its own); on a
    // laser sheet also the distance from one label to the next.
    int labelWidth, labelHeight;
    // Laser sheets only: labels across and down, and the offsets that move the whole sheet.
    int across, down;
    const char* offLrKey;
    const char* offUdKey;
    QString ProgramOptions::*offLr;
    QString ProgramOptions::*offUd;
};

// There is no target 2.
inline constexpr std::array<PrintTarget, 4> kPrintTargets = {{
    {0, PrintDriver::Sierra, "Sierra Sport", "Print Sierra", 30, "ckbSierraSport", "SierraFormat",
     &ProgramOptions::SierraFormat, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr},
    {1, PrintDriver::Dymo, "Dymo", "Print Dymo", 30, "ckbDymo", "SierraFormat1", &ProgramOptions::SierraFormat1,
     5040, 1620, 0, 0, nullptr, nullptr, nullptr, nullptr},  // the Dymo 30252 address label, landscape
    {3, PrintDriver::Laser, "laser 3-up", "Print Laser-3", 30, "ckbLaser3", "SierraFormat3",
     &ProgramOptions::SierraFormat3, 3960, 1440, 3, 10, "SierraOffLr3", "SierraOffUd3", &ProgramOptions::SierraOffLr3,
     &ProgramOptions::SierraOffUd3},
    {4, PrintDriver::Laser, "laser 4-up", "Print Laser-4", 32, "ckbLaser4", "SierraFormat4",
     &ProgramOptions::SierraFormat4, 3060, 1800, 4, 8, "SierraOffLr4", "SierraOffUd4", &ProgramOptions::SierraOffLr4,
     &ProgramOptions::SierraOffUd4},
}};

namespace PrintTargetsDetail {
constexpr bool sheetsAreFull() {
    for (const PrintTarget& t : kPrintTargets)
        if (t.driver == PrintDriver::Laser && t.across * t.down != t.labelsPerSheet) return false;
    return true;
}
}  // namespace PrintTargetsDetail
static_assert(PrintTargetsDetail::sheetsAreFull(), "a laser sheet holds across x down labels");

// The target of a SierraPrint code; null for a code that names none.
inline const PrintTarget* FindPrintTarget(int code) {
    for (const PrintTarget& t : kPrintTargets)
        if (t.code == code) return &t;
    return nullptr;
}

// The laser sheet of a code: the 3-up sheet for 3, the 4-up sheet for anything else.
inline const PrintTarget& LaserTargetFor(int code) { return code == 3 ? kPrintTargets[2] : kPrintTargets[3]; }

// The target a job prints on: the one the code names; a code that names none prints on the 4-up
// sheet.
inline const PrintTarget& PrintTargetFor(int code) {
    const PrintTarget* target = FindPrintTarget(code);
    return target ? *target : LaserTargetFor(code);
}

// The codes, in the order of the table.
inline QList<int> PrintTargetCodes() {
    QList<int> codes;
    for (const PrintTarget& t : kPrintTargets) codes << t.code;
    return codes;
}

#pragma once
// What the laser and Dymo drivers draw with: the current printer, the message boxes, the label
// grid and the program options (format file paths, offsets, the Dymo device name). The main window
// owns all four; a driver call borrows them for one label or one job.
#include <functional>

class Dialogs;
class LabelGrid;
class Printer;
struct ProgramOptions;

struct LabelOutput {
    Printer& printer;
    Dialogs& dialogs;
    const LabelGrid& grid;
    const ProgramOptions& options;
};

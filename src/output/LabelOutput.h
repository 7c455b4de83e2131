#pragma once
// What the laser and Dymo drivers draw with: the current printer, the outcome of the job they
// report into, the label grid and the program options (format file paths, offsets, the Dymo device
// name). A driver call borrows them for one label or one job.
#include <functional>

class Outcome;
class LabelGrid;
class Printer;
struct ProgramOptions;

struct LabelOutput {
    Printer& printer;
    Outcome& outcome;
    const LabelGrid& grid;
    const ProgramOptions& options;
};

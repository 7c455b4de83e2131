#pragma once
// Dymo labels: one print document of one landscape page per grid row.
struct LabelOutput;

// Prints grid row `row` on the printer named SierraDymoDeviceName (the current printer when no
// installed printer has exactly that name) from the format file SierraFormat1, origin (0, 0), then
// makes the previous printer current again in portrait. A blank sku does nothing; a format file that
// will not open reports kDymoFormatProblem into `out.outcome` for row 1 only and returns false (the caller reports it
// for a later row).
//
// A job printing many rows should hold a PrinterJobScope on the printer around its loop, so a
// device that asks where to save asks once per job rather than once per label.
inline constexpr const char* kDymoFormatProblem = "Problem opening Dymo Format File";
bool PrintDymoLabel(const LabelOutput& out, int row);

#pragma once
// Laser sheets of labels: 3 across and 10 down (layout 3) or 4 across and 8 down (layout 4).
#include <QString>

#include <functional>

struct LabelOutput;
class Hourglass;
class LabelFormatCache;
struct PrintOutcome;

// The message for labels that did not reach the printer, with the printing system's reason on a
// second line; from a later row on when the labels before it were printed (a Dymo job).
QString NotPrintedMessage(const QString& failure, int fromRow = 1);
// The notice for labels a stopped printer holds in its queue ("" when none is held): the printer,
// the reason it gives and how many labels wait.
QString HeldMessage(const PrintOutcome& printed, int labels);

// The geometry of one sheet layout, in twips.
struct LaserSheet {
    int across;
    int down;
    int perSheet;
    int columnPitch;
    int linePitch;
};
// Layout 3 for 3, layout 4 for anything else.
LaserSheet LaserSheetFor(int layout);

// Draws grid row `row` as one label at (originX, originY) from the layout's format file
// (SierraFormat3 for layout 3, else SierraFormat4). A blank sku draws nothing; a format file that
// will not open reports kLaserFormatProblem (a failure) for row 1 only and returns false. `formats` keeps the
// format between the labels of one job.
inline constexpr const char* kLaserFormatProblem = "Problem opening Laser Format File";
bool PrintLaserLabel(const LabelOutput& out, int layout, int row, int originX, int originY,
                     LabelFormatCache& formats);

// The laser branch of the print job: rows 1..lastRow each take the next position on the sheet
// (blank rows leave theirs empty), a new page begins only when a label is due on it, the document
// is ended (also after a cancel) and " N items printed." is told (a notice; every other message
// of the job is a failure). Messages go into `out.outcome`, in the order the clerk sees them. A format file that could not be
// opened for a later row (deleted or moved while the job ran) is reported once, before the count:
// those labels came out blank.
//
// `cancelCheck` is called before every label: it lets pending events run and, when the user has
// cancelled, shows the cancel message and returns true, which leaves the loop.
//
// `firstLabel` (1 = the top-left label) is the position row 1 takes on the first sheet, for a
// sheet whose earlier labels were used before; later sheets start at their top-left label. The
// caller keeps it within 1..labels per sheet.
//
// When the printing system refused or lost the document, NotPrintedMessage takes the count's
// place; when the user declined where the document was to go, the job failed without a message.
// Both return 0.
//
// Returns the number of rows handed to PrintLaserLabel, or -1 when the job was refused before
// anything was drawn because an offset of the layout is not a whole number that fits (a failure
// says which).
int PrintLaserJob(const LabelOutput& out, int layout, int lastRow, const std::function<bool()>& cancelCheck,
                  Hourglass& hourglass, int firstLabel = 1);

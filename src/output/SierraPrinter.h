#pragma once
// The Sierra Sport driver: the printer lays the label out in its own command language, so a label
// is the format file (.fab) with one row's values merged in, sent to the serial port as
// Windows-1252 bytes. Once per run the font file (.pcl) goes first.
#include <QByteArray>
#include <QString>

class Dialogs;
class LabelGrid;
class Outcome;
class SerialPort;
struct ProgramOptions;

// The main window's caption, which reads "LOADING FONTS, PLEASE WAIT..." while the fonts go out.
class WindowCaption {
public:
    virtual ~WindowCaption() = default;
    virtual QString Caption() const = 0;
    virtual void setCaption(const QString& caption) = 0;
};

inline constexpr const char* kSierraFormatProblem = "Problem opening Sierra Format File";

class SierraPrinter {
public:
    SierraPrinter(const LabelGrid& grid, const ProgramOptions& options, SerialPort& port, Dialogs& dialogs,
                  WindowCaption& window);

    // Sends grid row `row` as one label; the port must be open. A blank sku sends nothing at all.
    // A port or file error is thrown as a TagwellError to the caller, after the caption is put
    // back (and, when it struck during the fonts, FontsLoaded is cleared so the next label sends
    // them again). False when the format file would not open: kSierraFormatProblem goes into
    // `outcome` for row 1 only, the caller reports it for a later row. The font file's question
    // answered Cancel sends no label and marks `outcome` failed.
    bool PrintSierraLabel(int row, Outcome& outcome);

    // True once the font file has been sent in this run; false at start-up.
    bool FontsLoaded() const { return fontsLoaded_; }
    void setFontsLoaded(bool loaded) { fontsLoaded_ = loaded; }

private:
    bool sendFonts(Outcome& outcome);

    const LabelGrid& grid_;
    const ProgramOptions& options_;
    SerialPort& port_;
    Dialogs& dialogs_;
    WindowCaption& window_;
    bool fontsLoaded_ = false;
};

// One line of the format file, trimmed of spaces and with its first placeholder ("=code") filled
// from grid row `row`. Bytes in, bytes out.
QByteArray MergeSierraLine(const QByteArray& line, const LabelGrid& grid, int row);

// The value a field code stands for in grid row `row` ("" for a code that names no column).
QString SierraFieldValue(int code, const LabelGrid& grid, int row);

// The lines of a Windows text file: a line ends at CR or CR LF, and the end is not part of it. A
// lone LF is an ordinary byte of the line. A last line without an end still counts; an empty
// file has no lines.
QList<QByteArray> SplitTextLines(const QByteArray& content);

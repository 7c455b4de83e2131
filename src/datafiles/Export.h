#pragma once
// "Save Data to  a File": writes the label grid as a tab-delimited data file whose header names the
// fields 1, 10, 11, 21, 48, 65, 66 and 149, so that "Read in a Data File" can read it back.
#include "shell/common/Outcome.h"

#include <QByteArray>

class Dialogs;
class SettingsStore;
class LabelGrid;

// The settings key of the last import or export path (shared with the import).
inline constexpr const char* kFileImpExpKey = "FILEIMPEXP";

// The file's bytes: the header and one line per row whose stock number is not blank, CR LF after
// every line, Windows-1252.
QByteArray ExportFileBytes(const LabelGrid& grid);

// The command. Asks for the file (remembering the choice under "FILEIMPEXP") and writes it in one
// piece: the file is complete or, when writing fails, the previous file of that name is untouched
// and the failure names the file and the reason. Failed (silently) when the dialog was cancelled;
// not failed exactly when a file was written (a remembered path that could not be saved is a notice).
Outcome SaveDataToFile(Dialogs& dialogs, SettingsStore& store, const LabelGrid& grid);

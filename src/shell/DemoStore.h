#pragma once
// The demo store an installed Tagwell opens on when a user starts it for the first time: the
// user's own copy of the shipped demo files (dictionary, SQLite database, label formats, font file,
// sample data files) and the settings that point at that copy. The shipped files are only read.
#include <QString>

class SettingsStore;

// True only when there is no settings file at all. A file that is there is the store's, however
// little of it can be read (a comment Tagwell does not know, line ends of another platform, a file
// it cannot read at all): taking it for a first start would point the store at the demo database.
bool IsFirstStart(SettingsStore& settings);

// On a first start, copies every file of `shippedDir` into `userDir` (made when missing; a file of
// the same name there is replaced, other files are left alone) and points the settings at the copy:
// dictionary, the three databases through the SQLite ODBC driver, the format and font files, the
// laser 3-up sheet, and the sample data file as the last file read. Returns true when the demo store
// was set up; false when it was not a first start, nothing is shipped, or a copy or a settings write
// failed (the program then starts as it would without the demo). Never throws.
bool SetUpDemoStoreOnFirstStart(SettingsStore& settings, const QString& shippedDir, const QString& userDir);

// The shipped demo database, built from demo-store.sql when the package is made.
inline constexpr const char* kDemoDatabaseFile = "demo-store.db";

#pragma once
// The main window's "Dictionary File" command and the dictionary steps of its start-up. Both read
// the dictionary named by the settings key "DICTIONARY" into the window's `dctInv`.
#include "shell/common/Outcome.h"

class Dialogs;
class SettingsStore;
class cwDct;

// The settings key that remembers the dictionary file.
inline constexpr const char* kDictionaryKey = "DICTIONARY";

// "Dictionary File": asks for a dictionary file, remembers the choice at once, reads it and offers
// another try while it cannot be read. Cancelling the dialog changes nothing. Not failed when a
// dictionary was read (its master/store warning, if any, a notice); failed when the user gave up.
Outcome DictionaryFileCommand(Dialogs& dialogs, SettingsStore& store, cwDct& dctInv);

// Start-up: reads the remembered dictionary; when that fails, runs the command and reads the
// remembered name again; then reads the master/store block of that name, warning when it cannot.
// After a command run that already warned, the warning is therefore told a second time. The
// outcome holds what the window shows at start-up; failed when no dictionary could be read.
Outcome LoadDictionaryAtStartup(Dialogs& dialogs, SettingsStore& store, cwDct& dctInv);

#pragma once
// The File menu commands that set and test the connection strings of the three databases.
class Dialogs;
class RecordSetFactory;
class SettingsStore;

enum class StoreDatabase { Inventory, Cis, Upc };

// "Inventory Database" (mnuFileInv), "CIS Database (optional)" (mnuFileCis) and "UPC Database"
// (mnuFileUPC): asks for the database's connection string and stores it, trimmed, once its test
// query runs. An answer of only spaces switches the database off; Cancel or an emptied box
// changes nothing. A failed test is reported under the database's name and nothing is stored.
// Only a settings store that cannot be written throws (TagwellError).
void EditConnectionString(StoreDatabase database, Dialogs& dialogs, SettingsStore& settings,
                          RecordSetFactory& factory);

// "Test Database Connections" (mnuFileTestDatabase): runs the test query of each configured
// database and reports all three in one message. Changes no setting; never throws.
void TestDatabaseConnections(Dialogs& dialogs, SettingsStore& settings, RecordSetFactory& factory);

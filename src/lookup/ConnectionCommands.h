#pragma once
// The File menu commands that set and test the connection strings of the three databases.
class Dialogs;
class RecordSetFactory;
class SettingsStore;

#include "lookup/ItemLookup.h"
#include "shell/common/Outcome.h"

#include <QString>


// Runs the queries the look-up and the import send to `database` with a key that matches nothing
// (the table's key columns exist and the database compares them with a text key, or refuses that
// key as an integer column does), besides the whole-table test query. "" when they all run, else the first failure as "<number>, <description>".
QString TestKeyQueries(StoreDatabase database, const QString& connect, RecordSetFactory& factory);

// "Inventory Database" (mnuFileInv), "CIS Database (optional)" (mnuFileCis) and "UPC Database"
// (mnuFileUPC): asks for the database's connection string and stores it, trimmed, once its test
// query runs. An answer of only spaces switches the database off; Cancel or an emptied box
// changes nothing. A failed test is the failure it returns, under the database's name, and nothing
// is stored. Only a settings store that cannot be written throws (TagwellError).
Outcome EditConnectionString(StoreDatabase database, Dialogs& dialogs, SettingsStore& settings,
                             RecordSetFactory& factory);

// "Test Database Connections" (mnuFileTestDatabase): runs the test query and the key queries
// (TestKeyQueries) of each configured database and reports all three in one message: a database
// on which the look-up's own queries fail is a problem, not OK, and makes the outcome a failure.
// Changes no setting; a database error never leaves it.
Outcome TestDatabaseConnections(SettingsStore& settings, RecordSetFactory& factory);

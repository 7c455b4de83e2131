#pragma once
// The subcommands of tagwell-cli. Each runs one piece of the window's pipeline on the console
// services and returns the exit status (CliExit::Ok, Failed or Usage).
#include <QString>
#include <QTextStream>

class ConsoleDialogs;
class OverlaySettingsStore;
class cwDct;
struct ParsedArguments;

struct CliContext {
    QTextStream& out;
    QTextStream& err;
    ConsoleDialogs& dialogs;
    OverlaySettingsStore& settings;
};

int RunDict(const ParsedArguments& args, CliContext& cx);
int RunRead(const ParsedArguments& args, CliContext& cx);
int RunLookup(const ParsedArguments& args, CliContext& cx);
int RunImport(const ParsedArguments& args, CliContext& cx);
int RunPrint(const ParsedArguments& args, CliContext& cx);
int RunCheck(const ParsedArguments& args, CliContext& cx);

// The options every command shares (--dict, --inv, --upc, --cis) as overrides of their keys; a
// connection string given as @FILE is read from FILE, and one not given comes from the environment
// (TAGWELL_ODBCINV, TAGWELL_ODBCUPC, TAGWELL_ODBCCIS) before the settings. Throws TagwellError when
// such a file cannot be read.
void ApplySharedOverrides(const ParsedArguments& args, OverlaySettingsStore& settings);

// Reads the dictionary named by "DICTIONARY" as the window does at start-up. Without a readable
// dictionary every field of a data file reads empty, so the console refuses to go on: the
// window's "Can not read dictionary file" message is shown and false returned. A missing
// master/store block only warns.
bool LoadCliDictionary(CliContext& cx, cwDct& dct);

// `text` as a JSON string literal, quotes included.
QString JsonString(const QString& text);

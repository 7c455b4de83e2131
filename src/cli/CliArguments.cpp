#include "cli/CliArguments.h"

#include "shell/common/PrintTargets.h"

namespace {

CliOption dictOption() {
    return {QStringLiteral("dict"), QStringLiteral("FILE"),
            QStringLiteral("dictionary file (.dct); default: the one the window uses (DICTIONARY)")};
}
// --inv, --upc, --cis: a connection string, given as it is or in a file.
CliOption connectionOption(const char* name, const char* database, const char* key) {
    return {QString::fromLatin1(name), QStringLiteral("CONN"),
            QStringLiteral("ODBC connect string of the %1 database, or @FILE to read it from FILE\n"
                           "(default: $TAGWELL_%2, then %2)")
                .arg(QLatin1String(database), QLatin1String(key))};
}
CliOption invOption() { return connectionOption("inv", "inventory", "ODBCINV"); }
CliOption upcOption() { return connectionOption("upc", "UPC", "ODBCUPC"); }
CliOption cisOption() { return connectionOption("cis", "CIS", "ODBCCIS"); }
// --target, its codes and their printers as the table of targets lists them.
CliOption targetOption() {
    QStringList codes, meanings;
    for (const PrintTarget& t : kPrintTargets) {
        codes << QString::number(t.code);
        meanings << QString::number(t.code) + u' ' + QString::fromLatin1(t.name);
    }
    return {QStringLiteral("target"), codes.join(u'|'), meanings.join(QStringLiteral(", ")) + QStringLiteral(" (default: SierraPrint)")};
}

std::vector<CliCommand> buildCommands() {
    std::vector<CliCommand> commands;
    commands.push_back(
        {QStringLiteral("dict"), QString(), QStringLiteral("read a data dictionary and list its fields"),
         QStringLiteral("Reads the INV sections of the dictionary (up to level 99) and its master/store block, then\n"
                        "prints JSON lines: first {\"setup\":N,\"setupms\":N,\"dLast\":N} with the two result codes\n"
                        "(0 read, 1 cannot read, 2 nothing found), then one object per defined field in field order:\n"
                        "{\"field\":12,\"alpha\":1,\"len\":30,\"master\":true,\"desc\":\"Item text\"}."),
         {dictOption(),
          {QStringLiteral("prisame"), QStringLiteral("0|1"),
           QStringLiteral("1 (default): prices are the same in all stores, P fields count as master")}}});
    commands.push_back(
        {QStringLiteral("read"), QStringLiteral("DATAFILE"), QStringLiteral("read a data file as the import sees it"),
         QStringLiteral("Opens a quote-and-comma (.dat) or tab-delimited (.txt) data file and prints JSON lines: first\n"
                        "{\"fopen\":N,\"layout\":N,\"FieldList\":\"...\",\"count\":N}, then for every record\n"
                        "{\"line\":N,\"values\":[[field,code,\"value\"],...]} with one entry per header column\n"
                        "(code 0 value present, 1 blank, -1 not in the file). Values are cut to the dictionary\n"
                        "lengths. The reader's own messages go to standard error."),
         {dictOption()}});
    commands.push_back(
        {QStringLiteral("lookup"), QStringLiteral("CODE"), QStringLiteral("look a stock number or UPC up in the databases"),
         QStringLiteral("Looks CODE up as the window does when it is scanned into the sku box and ENTER is pressed,\n"
                        "and prints one JSON object with the eight values:\n"
                        "{\"sku\":...,\"mfn\":...,\"desc\":...,\"loc\":...,\"retail\":...,\"om\":...,\"pk\":...,\"upc\":...}.\n"
                        "A database that is not set or cannot be reached contributes nothing."),
         {{QStringLiteral("convert-upc"), QStringLiteral("0|1"),
           QStringLiteral("1: look CODE up as a UPC first (default: SierraConvertUpc)")},
          invOption(),
          upcOption(),
          cisOption()}});
    commands.push_back(
        {QStringLiteral("import"), QStringLiteral("DATAFILE"), QStringLiteral("import a data file and write the grid"),
         QStringLiteral("Runs \"Read in a Data File\" (or, with --price-change, \"Read in a Price Change File\") on\n"
                        "DATAFILE onto a grid of one sheet, completing blank values from the databases, then writes\n"
                        "the grid as a tab-delimited export file (header 1 10 11 21 48 65 66 149)."),
         {{QStringLiteral("price-change"), QString(),
           QStringLiteral("read it as a price-change file: records without a new price, or whose price\n"
                          "equals the inventory's, are dropped")},
          dictOption(),
          invOption(),
          upcOption(),
          {QStringLiteral("out"), QStringLiteral("FILE"), QStringLiteral("write the export file here (default: standard output)")}}});
    commands.push_back(
        {QStringLiteral("print"), QStringLiteral("DATAFILE"), QStringLiteral("import a data file and print its labels"),
         QStringLiteral("Imports DATAFILE as \"Read in a Data File\" does, then runs the print job on the target:\n"
                        "laser sheets on the current or named printer or into a PDF file; Dymo labels on the named\n"
                        "printer or one PDF per label (FILE, FILE-2, FILE-3 ...); the Sierra Sport on its serial\n"
                        "port, or into a plain file with --device. The count message \" N items printed.\" goes to\n"
                        "standard output, every other message to standard error; questions are answered Cancel."),
         {targetOption(),
          dictOption(),
          invOption(),
          upcOption(),
          {QStringLiteral("format"), QStringLiteral("FILE"),
           QStringLiteral("format file of the target (.fab, .fa1, .fa3 or .fa4)")},
          {QStringLiteral("font"), QStringLiteral("FILE"), QStringLiteral("Sierra Sport font file (.pcl)")},
          {QStringLiteral("offsets"), QStringLiteral("LR,UD"),
           QStringLiteral("laser left/right and up/down offsets in twips (1440 to the inch)")},
          {QStringLiteral("printer"), QStringLiteral("NAME"),
           QStringLiteral("laser: print on this printer; Dymo: the Dymo printer's device name")},
          {QStringLiteral("pdf"), QStringLiteral("FILE"), QStringLiteral("write the labels into this PDF file")},
          {QStringLiteral("port"), QStringLiteral("N"), QStringLiteral("Sierra Sport serial port number (default: SierraPort)")},
          {QStringLiteral("device"), QStringLiteral("PATH"),
           QStringLiteral("Sierra Sport device path; a plain file receives the exact byte stream")},
          {QStringLiteral("settings"), QStringLiteral("TEXT"),
           QStringLiteral("serial line settings, e.g. 9600,n,8,1 (default: SierraSettings)")},
          {QStringLiteral("first-label"), QStringLiteral("N"),
           QStringLiteral("laser: start at label N of the first sheet (1 top-left, row by row), for a sheet\n"
                          "whose labels 1 to N-1 were used before; N from 1 to 30 (3-up) or 32 (4-up)")},
          {QStringLiteral("trace"), QStringLiteral("FILE"),
           QStringLiteral("write one line per printer operation (TEXT, LINE, BARCODE, NEWPAGE, ENDDOC ...)")}}});
    commands.push_back(
        {QStringLiteral("check"), QString(), QStringLiteral("check the settings in use: dictionary, databases, formats, printer"),
         QStringLiteral("Checks what Tagwell depends on, with the settings in use or those given as options, and prints\n"
                        "one line for each part, starting OK or FAIL: the dictionary (read, fields found); the UPC,\n"
                        "inventory and CIS databases (connects, the key queries run, how many items); each label\n"
                        "format file (opens, elements, any text of the demo item or of --item that crosses the\n"
                        "label's border, any UPC symbol narrower than the 80 % of the nominal UPC-A symbol that\n"
                        "scanners reliably read); the print target with its printer (present, default, accepting\n"
                        "jobs) or its serial device, format and font files. Nothing is written: no setting, no\n"
                        "database, no port or file. Exit status 0 when every line is OK, 1 otherwise."),
         {dictOption(),
          invOption(),
          upcOption(),
          cisOption(),
          targetOption(),
          {QStringLiteral("fa1"), QStringLiteral("FILE"), QStringLiteral("Dymo format file (default: SierraFormat1)")},
          {QStringLiteral("fa3"), QStringLiteral("FILE"), QStringLiteral("laser 3-up format file (default: SierraFormat3)")},
          {QStringLiteral("fa4"), QStringLiteral("FILE"), QStringLiteral("laser 4-up format file (default: SierraFormat4)")},
          {QStringLiteral("item"), QStringLiteral("CODE"),
           QStringLiteral("draw the formats with this stock number or UPC, looked up in the databases,\n"
                          "instead of the demo item")},
          {QStringLiteral("printer"), QStringLiteral("NAME"),
           QStringLiteral("laser: the printer to check instead of the default; Dymo: the Dymo printer")},
          {QStringLiteral("port"), QStringLiteral("N"), QStringLiteral("Sierra Sport serial port number (default: SierraPort)")},
          {QStringLiteral("device"), QStringLiteral("PATH"), QStringLiteral("Sierra Sport device path (default: COM<N> or the port's device)")}}});
    return commands;
}

const CliOption* findOption(const CliCommand& command, const QString& name) {
    for (const CliOption& o : command.options)
        if (o.name == name) return &o;
    return nullptr;
}

QString optionsHelp(const std::vector<CliOption>& options) {
    QStringList left;
    for (const CliOption& o : options)
        left << QStringLiteral("  --") + o.name + (o.valueName.isEmpty() ? QString() : u' ' + o.valueName);
    left << QStringLiteral("  --help");
    qsizetype width = 0;
    for (const QString& l : left) width = std::max(width, l.size());
    QString text;
    for (size_t i = 0; i <= options.size(); ++i) {
        const QString help = i < options.size() ? options[i].help : QStringLiteral("show this help");
        const QString pad(width + 2, u' ');
        text += left[static_cast<qsizetype>(i)].leftJustified(width + 2) +
                QString(help).replace(u'\n', u'\n' + pad) + u'\n';
    }
    return text;
}

QString synopsis(const CliCommand& c) {
    QString s = QStringLiteral("tagwell-cli ") + c.name;
    if (!c.positional.isEmpty()) s += u' ' + c.positional;
    for (const CliOption& o : c.options)
        s += QStringLiteral(" [--") + o.name + (o.valueName.isEmpty() ? QString() : u' ' + o.valueName) + u']';
    return s;
}

}  // namespace

const std::vector<CliCommand>& CliCommands() {
    static const std::vector<CliCommand> commands = buildCommands();
    return commands;
}

const CliCommand* FindCliCommand(const QString& name) {
    for (const CliCommand& c : CliCommands())
        if (c.name == name) return &c;
    return nullptr;
}

ParsedArguments ParseCliArguments(const QStringList& args) {
    ParsedArguments parsed;
    if (args.isEmpty()) throw UsageError(QStringLiteral("no command given"));

    qsizetype i = 0;
    const QString first = args[0];
    if (first == QLatin1String("--help") || first == QLatin1String("-h") || first == QLatin1String("help")) {
        parsed.help = true;
        // "help print" and "--help print" both describe one command.
        if (args.size() > 1) {
            if (!FindCliCommand(args[1])) throw UsageError(QStringLiteral("unknown command \"%1\"").arg(args[1]));
            parsed.command = args[1];
        }
        if (args.size() > 2) throw UsageError(QStringLiteral("unexpected argument \"%1\"").arg(args[2]));
        return parsed;
    }
    if (first == QLatin1String("--version")) {
        if (args.size() > 1) throw UsageError(QStringLiteral("unexpected argument \"%1\"").arg(args[1]));
        parsed.version = true;
        return parsed;
    }
    const CliCommand* command = FindCliCommand(first);
    if (!command) {
        if (first.startsWith(u'-')) throw UsageError(QStringLiteral("a command must come first, not \"%1\"").arg(first));
        throw UsageError(QStringLiteral("unknown command \"%1\"").arg(first));
    }
    parsed.command = command->name;

    bool positionalSeen = false;
    bool optionsEnded = false;
    for (i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (!optionsEnded && a == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            parsed.help = true;
            continue;
        }
        if (!optionsEnded && a.startsWith(QLatin1String("--"))) {
            QString name = a.mid(2);
            QString value;
            bool inlineValue = false;
            const qsizetype eq = name.indexOf(u'=');
            if (eq >= 0) {
                value = name.mid(eq + 1);
                name = name.left(eq);
                inlineValue = true;
            }
            const CliOption* option = findOption(*command, name);
            if (!option)
                throw UsageError(QStringLiteral("%1 does not know the option --%2").arg(command->name, name));
            if (parsed.values.contains(name)) throw UsageError(QStringLiteral("--%1 given twice").arg(name));
            if (option->valueName.isEmpty()) {
                if (inlineValue) throw UsageError(QStringLiteral("--%1 takes no value").arg(name));
            } else if (!inlineValue) {
                if (i + 1 >= args.size()) throw UsageError(QStringLiteral("--%1 needs a value (%2)").arg(name, option->valueName));
                value = args[++i];
            }
            parsed.values.insert(name, value);
            continue;
        }
        if (!optionsEnded && a.startsWith(u'-') && a.size() > 1)
            throw UsageError(QStringLiteral("%1 does not know the option %2").arg(command->name, a));
        if (command->positional.isEmpty() || positionalSeen)
            throw UsageError(QStringLiteral("unexpected argument \"%1\"").arg(a));
        parsed.positional = a;
        positionalSeen = true;
    }
    if (parsed.help) return parsed;
    if (!command->positional.isEmpty() && !positionalSeen)
        throw UsageError(QStringLiteral("%1 needs %2").arg(command->name, command->positional));
    return parsed;
}

QString CliHelpText(const QString& commandName) {
    if (const CliCommand* c = FindCliCommand(commandName)) {
        return QStringLiteral("Usage: ") + synopsis(*c) + QStringLiteral("\n\n") + c->description +
               QStringLiteral("\n\nOptions:\n") + optionsHelp(c->options) +
               QStringLiteral("\nSettings not given as options come from the window's settings store; options\n"
                              "apply to this run only and are never saved.\n"
                              "Exit status: 0 done, 1 the work failed (message on standard error), 2 usage error.\n");
    }
    QString text = QStringLiteral(
        "Usage: tagwell-cli COMMAND [ARGUMENT] [OPTIONS]\n\n"
        "Shelf labels without the window: the same dictionary, data files, databases and printers as\n"
        "Tagwell, for batch printing and for probing the label pipeline.\n\nCommands:\n");
    qsizetype width = 0;
    for (const CliCommand& c : CliCommands()) width = std::max(width, c.name.size());
    for (const CliCommand& c : CliCommands())
        text += QStringLiteral("  ") + c.name.leftJustified(width + 2) + c.summary + u'\n';
    text += QStringLiteral(
        "\n'tagwell-cli COMMAND --help' describes one command and its options; 'tagwell-cli --version'\n"
        "prints the version.\n\n"
        "Settings not given as options (dictionary, connect strings, format and font files, offsets,\n"
        "print target, Dymo device, serial port and line settings) come from the window's settings store;\n"
        "options apply to this run only and are never saved.\n"
        "Exit status: 0 done, 1 the work failed (message on standard error), 2 usage error.\n");
    return text;
}

int CliChoice(const ParsedArguments& args, const QString& option, const QList<int>& allowed) {
    const QString text = args.value(option);
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || !allowed.contains(v)) {
        QStringList names;
        for (int a : allowed) names << QString::number(a);
        throw UsageError(QStringLiteral("--%1 must be one of %2, not \"%3\"").arg(option, names.join(u'|'), text));
    }
    return v;
}

int CliWholeNumber(const ParsedArguments& args, const QString& option, int low, int high) {
    const QString text = args.value(option);
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high)
        throw UsageError(QStringLiteral("--%1 must be a whole number from %2 to %3, not \"%4\"").arg(option).arg(low).arg(high).arg(text));
    return v;
}

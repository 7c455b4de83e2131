#pragma once
// The command line of tagwell-cli: a subcommand, at most one positional argument and the
// subcommand's options, each option either a switch or taking one value ("--dict FILE" or
// "--dict=FILE"). Anything the table below does not allow is a usage error (exit status 2).
#include <QMap>
#include <QString>
#include <QStringList>
#include <stdexcept>
#include <vector>

// Exit statuses of tagwell-cli.
namespace CliExit {
constexpr int Ok = 0;
constexpr int Failed = 1;  // the work failed; its message is on standard error
constexpr int Usage = 2;   // the command line was wrong
}  // namespace CliExit

struct CliOption {
    QString name;       // without the leading "--"
    QString valueName;  // empty: a switch that takes no value
    QString help;
};

struct CliCommand {
    QString name;
    QString positional;  // empty: the command takes no positional argument
    QString summary;     // one line for the overview
    QString description; // the paragraph of the command's own --help
    std::vector<CliOption> options;
};

// Every subcommand with its options, in the order the overview lists them.
const std::vector<CliCommand>& CliCommands();
const CliCommand* FindCliCommand(const QString& name);

struct ParsedArguments {
    QString command;             // empty with --help alone
    QString positional;
    QMap<QString, QString> values;  // option name -> value ("" for a switch)
    bool help = false;
    bool version = false;        // --version alone

    bool has(const QString& option) const { return values.contains(option); }
    QString value(const QString& option) const { return values.value(option); }
};

class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Parses the arguments after the program's name. Throws UsageError.
ParsedArguments ParseCliArguments(const QStringList& args);

// The overview (empty `command`) or one command's help.
QString CliHelpText(const QString& command);

// A value that must be one of `allowed`, or a whole number in [low, high]. Throw UsageError naming
// the option.
int CliChoice(const ParsedArguments& args, const QString& option, const QList<int>& allowed);
int CliWholeNumber(const ParsedArguments& args, const QString& option, int low, int high);

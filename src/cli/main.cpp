// tagwell-cli: the label pipeline without the window, for batch printing and for probing the
// dictionary, the data file reader and the databases. Settings come from the window's store;
// options override them for one run and are never saved.
#include "cli/CliArguments.h"
#include "cli/CliCommands.h"
#include "cli/ConsoleServices.h"
#include "platform/qt/HeapSettings.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/FileAccess.h"
#include "platform/TagwellError.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QIODevice>
#include <QTemporaryDir>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char** argv) {
    KeepFreedHeapForReuse();
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList arguments;
    // Kept byte for byte: a file name that is not UTF-8 must reach the file it names.
    for (int i = 1; i < argc; ++i) arguments << FileNameFromNative(QByteArray(argv[i]));

    ParsedArguments args;
    try {
        args = ParseCliArguments(arguments);
    } catch (const UsageError& e) {
        err << "tagwell-cli: " << e.message() << "\nTry 'tagwell-cli --help'.\n";
        return CliExit::Usage;
    }
    if (args.help) {
        out << CliHelpText(args.command);
        return CliExit::Ok;
    }
    if (args.version) {
        out << "tagwell-cli " TAGWELL_VERSION "\n";
        return CliExit::Ok;
    }

    // Only printing and the check of label formats need the GUI module (fonts, printer documents and
    // their measures); no window is ever shown, so it runs on the offscreen platform unless the
    // caller chose another one.
    std::unique_ptr<QTemporaryDir> runtimeDir;  // outlives the application
    std::unique_ptr<QCoreApplication> app;
    if (args.command == QLatin1String("print") || args.command == QLatin1String("check")) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        // The GUI module asks for the user's runtime folder while it starts and warns on standard
        // error when there is none (a cron job, a service, a login without a session). The run
        // then gets a private one of its own (owner only), removed when it ends.
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            runtimeDir = std::make_unique<QTemporaryDir>();
            if (runtimeDir->isValid()) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir->path()));
        }
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("Tagwell"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAGWELL_VERSION));

    QtSettingsStore store;
    // Every command reads the window's settings: a file that is there but cannot be read whole
    // would run the command on defaults in place of the store's own keys.
    if (const SettingsProblem problem = store.Problem(); problem.kind != SettingsProblem::None) {
        err << problem.text << '\n';
        return CliExit::Failed;
    }
    OverlaySettingsStore settings(store);
    ConsoleDialogs dialogs(out, err);
    CliContext cx{out, err, dialogs, settings};

    int status = CliExit::Failed;
    try {
        if (args.command == QLatin1String("dict")) status = RunDict(args, cx);
        else if (args.command == QLatin1String("read")) status = RunRead(args, cx);
        else if (args.command == QLatin1String("lookup")) status = RunLookup(args, cx);
        else if (args.command == QLatin1String("import")) status = RunImport(args, cx);
        else if (args.command == QLatin1String("print")) status = RunPrint(args, cx);
        else if (args.command == QLatin1String("check")) status = RunCheck(args, cx);
    } catch (const UsageError& e) {
        out.flush();
        err << "tagwell-cli: " << e.message() << "\nTry 'tagwell-cli " << args.command << " --help'.\n";
        status = CliExit::Usage;
    } catch (const TagwellError& e) {
        // What the window's command guard would show in its "Alert:" box.
        out.flush();
        err << e.description() << '\n';
        status = CliExit::Failed;
    } catch (const std::exception& e) {
        out.flush();
        err << QString::fromLocal8Bit(e.what()) << '\n';
        status = CliExit::Failed;
    } catch (...) {
        // The boundary of every command: whatever escaped fails the run, it does not end it.
        out.flush();
        err << "Unknown error\n";
        status = CliExit::Failed;
    }
    // What went to standard output must have arrived: a full disk or a closed pipe behind it makes
    // the run a failure, not a silent loss.
    out.flush();
    errno = 0;
    const bool streamFailed = out.status() != QTextStream::Ok;
    if (streamFailed || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const QString reason = streamFailed && out.device() ? out.device()->errorString()
                                                             : QString::fromLocal8Bit(std::strerror(errno ? errno : EIO));
        err << "tagwell-cli: standard output could not be written: " << reason << '\n';
        if (status == CliExit::Ok) status = CliExit::Failed;
    }
    err.flush();
    return status;
}

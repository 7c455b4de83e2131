// The program options dialog on its own, on real widgets: one case folder under tests/data/options/
// each, with the options it opens on (`options`, settings-store KEY=VALUE lines), the printers
// installed (`printers`, one a line; "Laser" when absent), the `script` (see Scenario.h) and the
// expected `transcript`. Steps of the dialog:
//   store KEY VALUE   a key of the stored options (read at the next reopen)
//   reopen      the options read from the store again, and a fresh dialog on them
//   resize W    the dialog's inner width in twips
//   show options   the seventeen options, as the main window would save them
#include "MemorySettingsStore.h"
#include "Scenario.h"
#include "options/frmSierraOptions.h"
#include "output/RecordingPrinter.h"
#include "shell/common/ProgramOptions.h"

#include <memory>

namespace {

GOLDEN_CASES(OptionsDialog, "options");

TEST_P(OptionsDialog, Transcript) {
    MemorySettingsStore stored;
    for (const QString& line : c.has("options") ? c.lines("options") : QStringList())
        stored.SaveSetting(kRegApp, kRegSec, line.section(u'=', 0, 0), line.section(u'=', 1));
    ProgramOptions options;
    RecordingPrinter printer(c.has("printers") ? c.lines("printers") : QStringList{"Laser"});
    ScriptedDialogs dialogs;
    scenario::Runner run(c, dialogs);
    std::unique_ptr<frmSierraOptions> dialog;
    const auto open = [&] {
        options.load(stored);
        dialog = std::make_unique<frmSierraOptions>(options, dialogs, &printer);
        dialog->show();
        run.root = dialog.get();
    };
    open();
    run.more = [&](const QString& verb, const QStringList& a, QStringList& out) {
        if (verb == u"reopen") open();
        else if (verb == u"store") stored.SaveSetting(kRegApp, kRegSec, a.value(0), a.mid(1).join(u' '));
        else if (verb == u"resize") dialog->resize(dialog->twips().toPixelsX(a.value(0).toDouble()), dialog->height());
        else if (verb == u"show" && a.value(0) == u"options") {
            MemorySettingsStore saved;
            options.saveChanges(saved, options);  // an empty store: every key is written
            QStringList values;
            for (auto it = saved.values.begin(); it != saved.values.end(); ++it) values << it.key().section(u'/', 2) + u'=' + it.value();
            out << values.join(u' ') << QStringLiteral("dialog %1 result %2").arg(dialog->isVisible() ? "open" : "closed").arg(dialog->result());
        } else return false;
        return true;
    };
    c.expect("transcript", run.run(c.lines("script")));
}

}  // namespace

// The settings file unreadable, corrupt, or not writable at exit: the main window starts with the
// defaults of what it could not read and reports a failed save at exit; a damaged file is
// repaired by the next save.
#include "shell/frmTagwell.h"

#include "FakeSerialPort.h"
#include "FakeUi.h"
#include "ScriptedDialogs.h"
#include "platform/qt/QtSettingsStore.h"
#include "output/RecordingPrinter.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

struct RealSettingsWindow {
    explicit RealSettingsWindow(const QString& ini) : store(ini) {}
    frmTagwell& start() {
        window = std::make_unique<frmTagwell>(TagwellServices{store, dialogs, serial, screen, events, nullptr, &printer});
        window->Form_Load();
        return *window;
    }
    QtSettingsStore store;
    ScriptedDialogs dialogs;
    FakeSerialPort serial;
    FakeScreenPointer screen;
    FakeEventPump events;
    RecordingPrinter printer;
    std::unique_ptr<frmTagwell> window;
};

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QString savedPrint(const QString& ini) {
    QSettings s(ini, QSettings::IniFormat);
    return s.value("TAGWELL/SierraPrint").toString();
}

const char* const kSaveFailed = "The program options could not be saved.";

TEST(SettingsFaults, StartUpCompletesAndExitReportsWhatItCouldNotSave) {
    const struct Case {
        const char* name;
        std::function<void(const QString& ini)> before;  // the file as start-up finds it
        std::function<void(const QString& ini)> atExit;  // what happens to it while the program runs
        int expectedPrint;                               // SierraPrint after start-up
        bool saveFails;
    } cases[] = {
        {"unreadable: a folder where the file should be", [](const QString& ini) { QDir().mkpath(ini); }, {}, 4, true},
        {"corrupt bytes", [](const QString& ini) { write(ini, "\x01\x02[TAGWELL\n=====\n\xff\xfe\x00zz"); }, {}, 4, false},
        {"corrupt section with a readable key",
         [](const QString& ini) { write(ini, "[TAGWELL]\nSierraPrint=3\n[[[\n\\\\\\=\n"); }, {}, 3, false},
        {"not writable at exit",
         [](const QString& ini) { write(ini, "[TAGWELL]\nSierraPrint=3\n"); },
         [](const QString& ini) {
             QFile::remove(ini);
             QDir().mkpath(ini);
         },
         3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString ini = dir.filePath("BRONTA/BRONTA.ini");
        QDir().mkpath(dir.filePath("BRONTA"));
        c.before(ini);

        RealSettingsWindow app(ini);
        frmTagwell& w = app.start();
        EXPECT_EQ(w.options.SierraPrint, c.expectedPrint);
        EXPECT_GT(w.grid().Rows(), 1) << "start-up ran to its end: the grid is built";

        if (c.atExit) c.atExit(ini);
        app.dialogs.messages.clear();
        w.options.SierraPrint = 1;
        w.close();

        QStringList alerts;
        for (const RecordedMessage& m : app.dialogs.messages) alerts << m.prompt;
        if (c.saveFails) {
            ASSERT_EQ(alerts.size(), 1);
            EXPECT_TRUE(alerts[0].startsWith(kSaveFailed)) << alerts[0].toStdString();
        } else {
            EXPECT_TRUE(alerts.isEmpty()) << alerts.join(" | ").toStdString();
            // The damaged file was set aside and replaced by a sound one holding the options.
            EXPECT_EQ(savedPrint(ini), "1");
            EXPECT_TRUE(QFile::exists(ini + ".damaged"));
            EXPECT_FALSE(QFile::permissions(ini) & (QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                    QFileDevice::ReadOther | QFileDevice::WriteOther));
        }
    }
}

// Damage after good lines, hand-written values with ';' and ',': at Exit every readable line is
// still there (the changed option in its new value, the untouched ones byte for byte, a key the
// program does not know kept), the damaged file is kept beside for its owner only, and the
// connection string was read whole all along.
TEST(SettingsFaults, DamageLosesNoReadableKeyAndUntouchedLinesKeepTheirForm) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("BRONTA/BRONTA.ini");
    QDir().mkpath(dir.filePath("BRONTA"));
    const QByteArray kept = "[TAGWELL]\r\n"
                            "ODBCINV=Driver=SQLite3;Database=/srv/store.db\r\n"
                            "DICTIONARY=/srv/store.dct\r\n"
                            "SierraSettings=9600,n,8,1\r\n"
                            "SierraoffLr3 = 110\r\n"
                            "LabelNote=kept by another tool\r\n";
    const QByteArray damaged = kept + "SierraPrint=3\r\ntrailing garbage\r\n\0\0\0\0";
    write(ini, damaged);
    ASSERT_TRUE(QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                               QFileDevice::ReadOther));

    RealSettingsWindow app(ini);
    frmTagwell& w = app.start();
    EXPECT_EQ(app.store.GetSetting(kRegApp, kRegSec, "ODBCINV", ""), "Driver=SQLite3;Database=/srv/store.db");
    EXPECT_EQ(w.options.SierraSettings, "9600,n,8,1");
    EXPECT_EQ(w.options.SierraPrint, 3);
    w.options.SierraPrint = 1;
    w.close();

    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray now = f.readAll();
    EXPECT_TRUE(now.startsWith(kept + "SierraPrint=1\r\n")) << now.toStdString();
    EXPECT_FALSE(now.contains("garbage"));
    QFile aside(ini + ".damaged");
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), damaged);
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser;
    EXPECT_EQ(QFile::permissions(ini), ownerOnly);
    EXPECT_EQ(QFile::permissions(ini + ".damaged"), ownerOnly);
}

}  // namespace

#pragma once
// What several benchmarks share: dialogs that answer nothing, settings in memory, a mouse pointer
// that is not there, the process's peak resident memory, and main().
#include "platform/Dialogs.h"
#include "platform/ScreenPointer.h"
#include "platform/SettingsStore.h"
#include "platform/qt/HeapSettings.h"

#include <benchmark/benchmark.h>

#include <QMap>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/resource.h>
#endif

class SilentDialogs : public Dialogs {
public:
    int shown = 0;
    int MsgBox(const QString&, int, const QString&) override { return ++shown, MsgResult::OK; }
    QString InputBox(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> ShowOpen(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> ShowSave(const FileDialogRequest&) override { return std::nullopt; }
};

// Settings kept in memory, keys case-insensitive as in the settings file.
class MemorySettings : public SettingsStore {
public:
    QMap<QString, QString> values;
    QString GetSetting(const QString&, const QString&, const QString& key, const QString& def) override {
        return values.value(key.toUpper(), def);
    }
    void SaveSetting(const QString&, const QString&, const QString& key, const QString& value) override {
        values.insert(key.toUpper(), value);
    }
    bool NothingStored() override { return values.isEmpty(); }
    SettingsProblem Problem() override { return {}; }
};

class NoPointer : public ScreenPointer {
public:
    int MousePointer() const override { return 0; }
    void setMousePointer(int) override {}
};

inline double peakResidentMiB() {
#if defined(__unix__)
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
#elif defined(__APPLE__)
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / (1024.0 * 1024.0);  // bytes on macOS
#else
    return 0;
#endif
}

// The main() of a benchmark program: the heap kept as the programs keep it, the offscreen platform
// unless another is asked for, an application of kind App, then the benchmarks.
template <class App>
int RunBenchmarks(int argc, char** argv) {
    KeepFreedHeapForReuse();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    App app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

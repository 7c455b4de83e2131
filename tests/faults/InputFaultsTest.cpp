// Inputs that are not plain files, or far larger than any store's: every reader refuses them at
// once (no wait on a pipe without a writer, no reading of a device without end) and says so.
#include "MemorySettingsStore.h"
#include "PrivateDevices.h"
#include "ScriptedDialogs.h"
#include "datafiles/cwDatFile.h"
#include "datafiles/cwDct.h"
#include "output/LabelFormat.h"
#include "platform/FileAccess.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(InputFaults, NonFilesAndHugeFilesAreRefusedByEveryReader) {
    QTemporaryDir dir;
    const QString zero = dir.filePath("zero");
    ASSERT_EQ(MakeCharDevice(zero, kZeroDevice[0], kZeroDevice[1]), QString());
    const QString pipe = dir.filePath("pipe");
    ASSERT_EQ(MakeFifo(pipe), QString());
    const QString folder = dir.filePath("folder");
    ASSERT_TRUE(QDir().mkdir(folder));
    // Sparse: beyond every bound without using the disk.
    const QString huge = dir.filePath("huge");
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(FileBound::DataFile + 1));
    }
    const struct Input {
        QString path;
        const char* reason;
    } inputs[] = {
        {zero, "The name belongs to a device or a pipe, not to a file."},
        {pipe, "The name belongs to a device or a pipe, not to a file."},
        {folder, "The name belongs to a folder."},
        {huge, "more than any such file holds"},
    };

    ScriptedDialogs dialogs;
    const struct Reader {
        const char* name;
        std::function<bool(const QString&)> reads;
    } readers[] = {
        {"dictionary", [](const QString& p) { cwDct d; return d.setup(p, "INV", 99) == 0; }},
        {"format file", [](const QString& p) { LabelFormatCache c; return c.load(p) != nullptr; }},
        {"data file",
         [&](const QString& p) {
             cwDct d;
             cwDatFile f;
             const bool opened = f.fopen(p, d, QString(), 0, 0) == 0;
             ShowOutcome(f.fopenOutcome(), dialogs);
             return opened;
         }},
        {"any file", [](const QString& p) { return ReadWholeFile(p, FileBound::Dictionary).has_value(); }},
    };
    for (const Input& input : inputs) {
        SCOPED_TRACE(input.path.toStdString());
        QString why;
        EXPECT_FALSE(ReadWholeFile(input.path, FileBound::Dictionary, &why));
        EXPECT_TRUE(why.contains(input.reason)) << why.toStdString();
        for (const Reader& r : readers) EXPECT_FALSE(r.reads(input.path)) << r.name;
    }
    // The data file reader names the file it could not open.
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back().prompt, "Can not open data file: " + huge);
    EXPECT_TRUE(IsCharDevice(zero));
    EXPECT_TRUE(IsFifo(pipe));
}

}  // namespace

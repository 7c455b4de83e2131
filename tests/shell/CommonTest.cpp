#include "FakeUi.h"
#include "MemorySettingsStore.h"
#include "shell/common/Common.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Common, IsBlankTrimsOnlySpaces) {
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank("   "));
    EXPECT_FALSE(IsBlank(" a "));
    EXPECT_FALSE(IsBlank("\t"));
}

TEST(Common, FileExistsSeesOnlyNormalFiles) {
    QTemporaryDir dir;
    const QString file = dir.filePath("labels.fa3");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QFile hidden(dir.filePath(".hidden.dct"));
    ASSERT_TRUE(hidden.open(QIODevice::WriteOnly));
    hidden.close();
    QDir(dir.path()).mkdir("folder");

    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists("  "));
    EXPECT_FALSE(FileExists(dir.filePath("folder")));
    EXPECT_FALSE(FileExists(dir.filePath(".hidden.dct")));
    EXPECT_FALSE(FileExists(dir.filePath("missing.fa3")));
    EXPECT_FALSE(FileExists("/no/such/drive/at/all.dct"));
    EXPECT_TRUE(FileExists(dir.filePath("*.fa3")));
    EXPECT_FALSE(FileExists(dir.filePath("*.dct")));  // only the hidden one matches
}

TEST(Common, NullToEmptyKeepsValuesAndEmptiesNull) {
    const QVariant null(QMetaType::fromType<QString>());
    ASSERT_TRUE(null.isNull());
    EXPECT_EQ(NullToEmpty(null).toString(), QString());
    EXPECT_EQ(NullToEmpty(null).toDouble(), 0.0);
    EXPECT_EQ(NullToEmpty(QVariant(0)).toInt(), 0);
    EXPECT_EQ(NullToEmpty(QVariant(0)).typeId(), QMetaType::Int);
    EXPECT_EQ(NullToEmpty(QVariant(QStringLiteral("x"))).toString(), QStringLiteral("x"));
}

TEST(Common, HourglassRestoresThePointerOfTheFirstCall) {
    FakeScreenPointer screen;
    Hourglass fresh(screen);
    screen.pointer = 5;
    fresh.ShowHourglass(false);  // nothing saved yet: the default pointer
    EXPECT_EQ(screen.pointer, 0);

    Hourglass h(screen);
    screen.pointer = 3;
    h.ShowHourglass(true);
    EXPECT_EQ(screen.pointer, 11);
    h.ShowHourglass(true);  // nested: keeps 3
    h.ShowHourglass(false);
    EXPECT_EQ(screen.pointer, 3);
}

namespace {
struct FakeWindow : PositionedWindow {
    int state = 0;
    double top = 100, left = 200, height = 3000, width = 9000;
    QString Name() const override { return "frmTagwell"; }
    int WindowState() const override { return state; }
    double Top() const override { return top; }
    double Left() const override { return left; }
    double Height() const override { return height; }
    double Width() const override { return width; }
    void setTop(double v) override { top = v; }
    void setLeft(double v) override { left = v; }
    void setHeight(double v) override { height = v; }
    void setWidth(double v) override { width = v; }
};
}  // namespace

TEST(Common, FormPositionRules) {
    MemorySettingsStore store;
    FakeWindow w;
    w.top = 1500;
    w.left = 2250;
    SaveFormPosition(store, kRegApp, kRegSec, w);
    EXPECT_EQ(store.raw("FTOPfrmTagwell"), "1500");
    EXPECT_EQ(store.raw("FLEFTfrmTagwell"), "2250");
    EXPECT_EQ(store.raw("FHEIGHTfrmTagwell"), "3000");
    EXPECT_EQ(store.raw("FWIDTHfrmTagwell"), "9000");

    w.state = 2;  // maximized: the last normal place stays stored
    w.top = 0;
    SaveFormPosition(store, kRegApp, kRegSec, w);
    EXPECT_EQ(store.raw("FTOPfrmTagwell"), "1500");

    FakeWindow fresh;  // designed place 100/200
    store.SaveSetting(kRegApp, kRegSec, "FTOPfrmTagwell", "-45");
    store.SaveSetting(kRegApp, kRegSec, "FLEFTfrmTagwell", "0");
    store.SaveSetting(kRegApp, kRegSec, "FHEIGHTfrmTagwell", "0");
    store.SaveSetting(kRegApp, kRegSec, "FWIDTHfrmTagwell", "4000.5");
    RestoreFormPosition(store, kRegApp, kRegSec, fresh);
    EXPECT_EQ(fresh.top, 100);    // negative: not restored
    EXPECT_EQ(fresh.left, 0);     // zero: the left edge
    EXPECT_EQ(fresh.height, 3000);  // zero height: unchanged
    EXPECT_EQ(fresh.width, 4000);   // half to even

    // Beyond 16 bits (a far second monitor) or not a number: start-up goes on.
    store.SaveSetting(kRegApp, kRegSec, "FTOPfrmTagwell", "70000");
    store.SaveSetting(kRegApp, kRegSec, "FLEFTfrmTagwell", "left");
    FakeWindow far;
    EXPECT_NO_THROW(RestoreFormPosition(store, kRegApp, kRegSec, far));
    EXPECT_EQ(far.top, 100);
    EXPECT_EQ(far.left, 0);  // no leading number reads 0
}

// The common routines (the window-position rules are in the window-position scenarios).
#include "FakeUi.h"
#include "shell/common/Common.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Common, BlankTextNullValueAndFileExists) {
    EXPECT_TRUE(IsBlank("") && IsBlank("   "));
    EXPECT_FALSE(IsBlank(" a ") || IsBlank("\t"));  // only spaces are trimmed

    const QVariant null(QMetaType::fromType<QString>());
    EXPECT_EQ(NullToEmpty(null).toString(), QString());
    EXPECT_EQ(NullToEmpty(null).toDouble(), 0.0);
    EXPECT_EQ(NullToEmpty(QVariant(0)).typeId(), QMetaType::Int);
    EXPECT_EQ(NullToEmpty(QVariant(QStringLiteral("x"))).toString(), QStringLiteral("x"));

    QTemporaryDir dir;
    for (const char* name : {"labels.fa3", ".hidden.dct"}) QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
    QDir(dir.path()).mkdir("folder");
    const struct { QString path; bool exists; } cases[] = {
        {dir.filePath("labels.fa3"), true}, {"", false}, {"  ", false}, {dir.filePath("folder"), false},
        {dir.filePath(".hidden.dct"), false}, {dir.filePath("missing.fa3"), false}, {"/no/such/drive/at/all.dct", false},
        {dir.filePath("*.fa3"), true}, {dir.filePath("*.dct"), false},  // only the hidden one matches
    };
    for (const auto& c : cases) EXPECT_EQ(FileExists(c.path), c.exists) << c.path.toStdString();
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

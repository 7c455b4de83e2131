// A data file whose name is not UTF-8 (a store's share written by an old program in its own code
// page) opens, reads and prints like any other, and its labels go to a PDF named the same way. The
// names travel as bytes, so the program is started by the shell with printf's escapes.
#include "CliRunner.h"
#include "platform/FileAccess.h"

#include <QDir>
#include <unistd.h>

TEST(CliNames, ANameThatIsNotUtf8OpensReadsAndPrints) {
    CliRunner cli;
    const QString dir = cli.path(QStringLiteral("share"));
    ASSERT_TRUE(QDir().mkpath(dir));
    // "prix caf\xe9.txt" in Windows-1252, the store's own code page.
    const QString data = dir + u'/' + FileNameFromNative("prix caf\xe9.txt");
    ASSERT_EQ(WriteWholeFile(data, "1\t10\t48\r\n100\tCAF\xc9 NOIR\t4.99\r\n"), QString());
    cli.saveSettings({{QStringLiteral("DICTIONARY"), QStringLiteral(TAGWELL_TEST_DATA "/cli/export-to-a-full-disk/store.dct")},
                      {QStringLiteral("SierraPrint"), QStringLiteral("3")}});
    const QString script = QStringLiteral(
        "cd \"$1\" && \"$0\" read \"$(printf 'prix caf\\351.txt')\" && "
        "\"$0\" print \"$(printf 'prix caf\\351.txt')\" --format \"$2\" --pdf \"$(printf 'prix caf\\351.pdf')\"");
    const CliResult r = cli.run({QStringLiteral("-c"), script, QStringLiteral(TAGWELL_BINARY_DIR "/tagwell-cli"), dir,
                                 QStringLiteral(TAGWELL_SOURCE_DIR "/demo/demo.fa3")},
                                {}, QStringLiteral("/bin/sh"));
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "{\"fopen\":0,\"layout\":2,\"FieldList\":\" 1, 10, 48\",\"count\":3}\n"
                     "{\"line\":1,\"values\":[[1,0,\"100\"],[10,0,\"CAF\xc3\x89 NOIR\"],[48,0,\"4.99\"]]}\n"
                     " 1 items printed.\n");
    EXPECT_EQ(ReadWholeFile(dir + u'/' + FileNameFromNative("prix caf\xe9.pdf"), 1 << 20).value_or("").left(5), "%PDF-");
    // Qt's own removal of the temporary folder cannot name them.
    for (const char* name : {"/prix caf\xe9.txt", "/prix caf\xe9.pdf"}) ::unlink((NativeFileName(dir) + name).constData());
}

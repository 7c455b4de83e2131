#include "TempFiles.h"
#include "datafiles/DictionaryFile.h"
#include "datafiles/cwDct.h"
#include "support/MemorySettingsStore.h"

// The "Dictionary File" command and the dictionary steps of start-up, each from a remembered name, the
// files chosen and the answers given.
TEST(DictionaryCommand, DialogsMessagesAndWhatIsRead) {
    TempFiles tmp;
    const QString good = tmp.write("good.dct", "[INV]\r\n1,0,12:Sku\r\n%BEGIN%\r\n1,S\r\n%END%\r\n");
    const QString noBlock = tmp.write("noblock.dct", "[INV]\r\n1,0,8:Sku\r\n");
    const QString bad = tmp.path("bad.dct");
    const QString retry = "Alert: 65 Can not read dictionary file.  Select OK to try another name.\n";
    const QString warn = "Alert: 64 Warning: could not read master/store specific info from data dictionary.  "
                         "Will treat all info as master.\n";
    enum Run { Command, StartUp };
    // Each case: the name remembered before, the files chosen and the answers given; then the result
    // (start-up returns nothing and counts as true), the names the open dialogs proposed, the messages,
    // the name remembered after, and dLen(1): 12 from the good file (whose field 1 is store data), 8
    // from the one without a block, 0 when emptied, 4 when left as it was.
    struct Case { const char* name; Run run; QString remembered; std::deque<std::optional<QString>> files;
                  std::deque<int> answers; bool result; QStringList proposed; QString shown, rememberedAfter;
                  int skuLen; bool failWrites = false; };
    const Case cases[] = {
        {"command cancelled", Command, good, {std::nullopt}, {}, false, {good}, "", good, 4},
        {"command retries", Command, "", {bad, noBlock}, {MsgResult::OK}, true, {"", bad}, retry + warn, noBlock, 8},
        {"command gives up", Command, "", {bad}, {MsgResult::Cancel}, false, {""}, retry, bad, 0},
        {"unwritable settings", Command, "", {good}, {}, true, {""}, "Alert: 64 Path/File access error\n", "", 12, true},
        {"start-up reads", StartUp, good, {}, {}, true, {}, "", good, 12},
        {"start-up without block warns", StartUp, noBlock, {}, {}, true, {}, warn, noBlock, 8},
        {"first start-up, dialog cancelled", StartUp, "", {std::nullopt}, {}, true, {""}, warn, "", 0},
        {"start-up, other file without block", StartUp, bad, {noBlock}, {}, true, {bad}, warn + warn, noBlock, 8},
        {"start-up, retry refused", StartUp, bad, {bad}, {MsgResult::Cancel}, true, {bad}, retry + warn, bad, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDialogs dialogs;
        MemorySettingsStore store;
        cwDct d;
        d.setDLen(1, 4);
        d.setDMaster(1, true);
        if (!c.remembered.isEmpty()) store.SaveSetting("BRONTA", "TAGWELL", "DICTIONARY", c.remembered);
        store.failWrites = c.failWrites;
        dialogs.fileAnswers = c.files;
        dialogs.msgAnswers = c.answers;
        bool result = true;
        if (c.run == Command) {
            const Outcome outcome = DictionaryFileCommand(dialogs, store, d);
            ShowOutcome(outcome, dialogs);
            result = !outcome.failed();
        } else {
            ShowOutcome(LoadDictionaryAtStartup(dialogs, store, d), dialogs);
        }
        EXPECT_EQ(result, c.result);
        QStringList proposed;
        for (const FileDialogRequest& r : dialogs.openRequests) {
            proposed << r.fileName;
            EXPECT_EQ(Describe(r), r.fileName + "|Open the Dictionary File|20484|"
                                                "All Files (*.*)|*.*|Dictionary Files (*.dct)|*.dct|2");
        }
        EXPECT_EQ(proposed, c.proposed);
        EXPECT_EQ(Shown(dialogs), c.shown);
        EXPECT_EQ(store.GetSetting("BRONTA", "TAGWELL", "DICTIONARY", ""), c.rememberedAfter);
        EXPECT_EQ(d.dLen(1), c.skuLen);
        EXPECT_EQ(d.dStDat(1), c.skuLen == 12);
    }
}

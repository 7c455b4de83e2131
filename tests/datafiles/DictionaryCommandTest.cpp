#include "support/MemorySettingsStore.h"
#include "support/ScriptedDialogs.h"
#include "TempFiles.h"
#include "datafiles/DictionaryFile.h"
#include "datafiles/cwDct.h"

#include <gtest/gtest.h>

namespace {

const QString kRetry = QStringLiteral("Can not read dictionary file.  Select OK to try another name.");
const QString kWarning = QStringLiteral(
    "Warning: could not read master/store specific info from data dictionary.  Will treat all info as master.");

struct DictionaryCommand : ::testing::Test {
    TempFiles tmp;
    ScriptedDialogs dialogs;
    MemorySettingsStore store;
    cwDct dct;
    // A dictionary with a master/store block, one without, and a name that cannot be read.
    QString good = tmp.write("good.dct", "[INV]\r\n1,0,12:Sku\r\n%BEGIN%\r\n1,S\r\n%END%\r\n");
    QString noBlock = tmp.write("noblock.dct", "[INV]\r\n1,0,8:Sku\r\n");
    QString bad = tmp.path("bad.dct");

    QString remembered() { return store.GetSetting("BRONTA", "TAGWELL", "DICTIONARY", "<none>"); }
    std::vector<QString> prompts() const {
        std::vector<QString> p;
        for (const auto& m : dialogs.messages) p.push_back(m.prompt);
        return p;
    }
};

}  // namespace

TEST_F(DictionaryCommand, DialogIsShownWithTheRememberedName) {
    store.SaveSetting("BRONTA", "TAGWELL", "Dictionary", good);
    dialogs.fileAnswers = {std::nullopt};
    dct.setDLen(1, 4);
    EXPECT_FALSE(DictionaryFileCommand(dialogs, store, dct));
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    const FileDialogRequest& r = dialogs.openRequests[0];
    EXPECT_EQ(r.fileName, good);
    EXPECT_EQ(r.dialogTitle, "Open the Dictionary File");
    EXPECT_EQ(r.flags, 20484);
    EXPECT_EQ(r.filter, "All Files (*.*)|*.*|Dictionary Files (*.dct)|*.dct");
    EXPECT_EQ(r.filterIndex, 2);
    // Cancelled: nothing written, nothing read.
    EXPECT_EQ(remembered(), good);
    EXPECT_EQ(dct.dLen(1), 4);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(DictionaryCommand, ReadsTheChosenFile) {
    dialogs.fileAnswers = {good};
    EXPECT_TRUE(DictionaryFileCommand(dialogs, store, dct));
    EXPECT_EQ(remembered(), good);
    EXPECT_EQ(dct.dLen(1), 12);
    EXPECT_TRUE(dct.dStDat(1));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(DictionaryCommand, RetriesWithTheFailedNameProposed) {
    dialogs.fileAnswers = {bad, noBlock};
    dialogs.msgAnswers = {MsgResult::OK};
    EXPECT_TRUE(DictionaryFileCommand(dialogs, store, dct));
    ASSERT_EQ(dialogs.openRequests.size(), 2u);
    EXPECT_EQ(dialogs.openRequests[1].fileName, bad);
    EXPECT_EQ(prompts(), (std::vector<QString>{kRetry, kWarning}));
    EXPECT_EQ(dialogs.messages[0].style, MsgStyle::OKCancel | MsgStyle::Information);
    EXPECT_EQ(dialogs.messages[0].title, "Alert:");
    EXPECT_EQ(dialogs.messages[1].style, MsgStyle::Information);
    EXPECT_EQ(dialogs.messages[1].title, "Alert:");
    EXPECT_EQ(remembered(), noBlock);
    EXPECT_EQ(dct.dLen(1), 8);
}

TEST_F(DictionaryCommand, CancelAfterAFailureKeepsTheFailedNameAndAnEmptyDictionary) {
    ASSERT_EQ(dct.setup(good, "INV", 99), 0);
    dialogs.fileAnswers = {bad};
    dialogs.msgAnswers = {MsgResult::Cancel};
    EXPECT_FALSE(DictionaryFileCommand(dialogs, store, dct));
    EXPECT_EQ(remembered(), bad) << "the name is saved before it is tried";
    EXPECT_EQ(dct.dLen(1), 0);
    EXPECT_EQ(prompts(), (std::vector<QString>{kRetry}));
}

TEST_F(DictionaryCommand, UnwritableSettingsAreReportedAndTheFileStillRead) {
    store.failWrites = true;
    dialogs.fileAnswers = {good};
    EXPECT_TRUE(DictionaryFileCommand(dialogs, store, dct));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, "Alert:");
    EXPECT_EQ(dct.dLen(1), 12);
}

TEST_F(DictionaryCommand, StartUp) {
    struct Case {
        const char* name;
        QString rememberedName;
        std::deque<std::optional<QString>> files;
        std::deque<int> answers;
        size_t dialogsShown;
        std::vector<QString> messages;
        int skuLen;
    };
    const std::vector<Case> cases = {
        {"remembered dictionary reads", good, {}, {}, 0, {}, 12},
        {"remembered dictionary without block warns once", noBlock, {}, {}, 0, {kWarning}, 8},
        {"first run, dialog cancelled", QString(), {std::nullopt}, {}, 1, {kWarning}, 0},
        {"unreadable name, user picks one without block: warned twice", bad, {noBlock}, {}, 1, {kWarning, kWarning}, 8},
        {"unreadable name, user picks a good one", bad, {good}, {}, 1, {}, 12},
        {"unreadable name, retry refused", bad, {bad}, {MsgResult::Cancel}, 1, {kRetry, kWarning}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDialogs dlg;
        MemorySettingsStore settings;
        cwDct d;
        if (!c.rememberedName.isNull()) settings.SaveSetting("BRONTA", "TAGWELL", "DICTIONARY", c.rememberedName);
        dlg.fileAnswers = c.files;
        dlg.msgAnswers = c.answers;
        LoadDictionaryAtStartup(dlg, settings, d);
        EXPECT_EQ(dlg.openRequests.size(), c.dialogsShown);
        std::vector<QString> shown;
        for (const auto& m : dlg.messages) shown.push_back(m.prompt);
        EXPECT_EQ(shown, c.messages);
        EXPECT_EQ(d.dLen(1), c.skuLen);
    }
}

TEST_F(DictionaryCommand, SelfContainedSetup) {
    store.SaveSetting("APP", "SEC", "DCT", good);
    EXPECT_TRUE(dct.rsetup(false, dialogs, store, "APP", "SEC", "DCT", "INV", 99));
    EXPECT_TRUE(dialogs.openRequests.empty());
    EXPECT_EQ(dct.dLen(1), 12);

    // Asked first: the dialog proposes the remembered name; the choice is remembered.
    dialogs.fileAnswers = {noBlock};
    EXPECT_TRUE(dct.rsetup(true, dialogs, store, "APP", "SEC", "DCT", "INV", 99));
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].fileName, good);
    EXPECT_EQ(store.GetSetting("APP", "SEC", "DCT", ""), noBlock);
    EXPECT_EQ(prompts(), (std::vector<QString>{kWarning}));

    // A missing remembered file asks; giving up after a failure gives false.
    store.SaveSetting("APP", "SEC", "DCT", bad);
    dialogs.fileAnswers = {bad};
    dialogs.msgAnswers = {MsgResult::Cancel};
    EXPECT_FALSE(dct.rsetup(false, dialogs, store, "APP", "SEC", "DCT", "INV", 99));
    EXPECT_EQ(dialogs.openRequests.size(), 2u);
    EXPECT_EQ(dialogs.messages.back().prompt, kRetry);

    dialogs.fileAnswers = {std::nullopt};
    EXPECT_FALSE(dct.rsetup(false, dialogs, store, "APP", "SEC", "DCT", "INV", 99));
}

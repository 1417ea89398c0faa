// The program editor's model: the screen lines, the cursor keys, the editing keys, the
// clipboard, undo, the size limit, saving and loading.

#include "ProgramTestSupport.h"

#include "platform/AtomicFile.h"

#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "language/Utf8.h"

#include <QDir>

#include <cerrno>

#include <unistd.h>

namespace orvenda::test {
namespace {

constexpr std::uint32_t kLineBreak = 0x3F;
constexpr std::uint32_t kBreakMark = ProgramModel::kBreakpoint;

TEST_F(ProgramModelTest, LinesIndentTheirBlocks)
{
    open("P", "If A\nDisp A\nDisp B");
    EXPECT_EQ(indents(), (std::vector<int>{0, 1, 0}));
    open("P", "If A\nThen\nDisp A\nEnd");
    EXPECT_EQ(indents(), (std::vector<int>{0, 0, 1, 0}));
    open("P", "For(I,1,3\nDisp I\nEnd");
    EXPECT_EQ(indents(), (std::vector<int>{0, 1, 0}));
    open("P", "While A\nIf B\nThen\nDisp 1\nElse\nDisp 2\nEnd\nEnd\nDisp 3");
    EXPECT_EQ(indents(), (std::vector<int>{0, 1, 1, 2, 1, 2, 1, 0, 0}));
    // A keyword in a string is text; a store arrow ends the string.
    open("P", "Disp \"If \nDisp 1\n\"While ->A\nDisp 2\nEnd");
    EXPECT_EQ(indents(), (std::vector<int>{0, 0, 0, 0, 0}));
    // One statement after If, also on its own line.
    open("P", "If A:Disp B\nDisp C");
    EXPECT_EQ(indents(), (std::vector<int>{0, 0}));
    EXPECT_EQ(model->screenLine(0), ":If A:Disp B");
    EXPECT_EQ(model->screenLine(2), std::nullopt);
}

TEST_F(ProgramModelTest, ABreakpointBeforeThenKeepsItAlignedWithItsIf)
{
    Ops ops = programOps("If A\nThen\nDisp A\nEnd");
    ops.insert(ops.begin() + 3, kBreakMark);
    ASSERT_TRUE(files->storeOps("P", ops));
    model->loadProgram("P");
    EXPECT_EQ(indents(), (std::vector<int>{0, 0, 1, 0}));
    EXPECT_TRUE(model->breakForLine(1));
    EXPECT_EQ(model->screenLine(1), ":Then");
}

TEST_F(ProgramModelTest, LongStatementsWrapOntoContinuationLines)
{
    open("P", "For(I,1,2\nDisp \"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\nEnd");
    ASSERT_EQ(model->numLines(), 4);
    ASSERT_GE(model->layout().lineFlags().size(), 3u);
    EXPECT_EQ(model->layout().lineFlags()[1], 1u);
    EXPECT_EQ(model->layout().lineFlags()[2], 1u | ProgramLayout::kContinuation);
    EXPECT_EQ(model->screenLine(1)->size(), 32u);
    EXPECT_TRUE(model->screenLine(2)->starts_with("  "));
    EXPECT_EQ(*model->pdfLine(1) + *model->pdfLine(2), "Disp \"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    // Every screen line fits the width, the continuation's margin and " " included.
    for (int n = 0; n < model->numLines(); ++n)
        EXPECT_LE(Utf8::codePointCount(*model->screenLine(n)), 32u) << n;
    // The whole statement line, with the cursor's place in it.
    model->setPrgmEditCursor(model->firstOpOnLine(2) + 1);
    const auto statement = model->statementForLine(2);
    ASSERT_TRUE(statement);
    EXPECT_EQ(statement->line, 1);
    EXPECT_EQ(statement->position, model->firstOpOnLine(2) + 1 - model->firstOpOnLine(1));
    // The cursor stands in the string: its quotes are the brackets around it.
    EXPECT_EQ(statement->parens.location, 1);
}

TEST_F(ProgramModelTest, CursorKeysFollowTheLines)
{
    open("P", "Disp 12\nA\nDisp 345");
    // Home twice: the line's start, then the previous line's.
    model->setPrgmEditCursor(10);
    model->cursorHome();
    EXPECT_EQ(model->prgmEditCursor(), 6);
    model->cursorHome();
    EXPECT_EQ(model->prgmEditCursor(), 4);
    // End: before the line's line break; on a line break, the end of the next line.
    model->cursorTop();
    model->cursorEnd();
    EXPECT_EQ(model->prgmEditCursor(), 3);
    EXPECT_EQ(ops()[3], kLineBreak);
    model->cursorEnd();
    EXPECT_EQ(model->prgmEditCursor(), 5);
    model->cursorEnd();
    EXPECT_EQ(model->prgmEditCursor(), 10);
    // Up and down keep the column.
    model->setPrgmEditCursor(2);
    model->cursorRight();
    EXPECT_EQ(model->textCursorCol(), 7);
    model->cursorDown();
    EXPECT_EQ(model->prgmEditCursor(), 5);
    model->cursorDown();
    EXPECT_EQ(model->prgmEditCursor(), 9);
    model->cursorDown();
    EXPECT_EQ(model->prgmEditCursor(), 10);
    model->cursorUp();
    model->cursorUp();
    model->cursorUp();
    EXPECT_EQ(model->prgmEditCursor(), 0);
    model->cursorLeft();
    EXPECT_EQ(model->prgmEditCursor(), 0);
    model->cursorBottom();
    EXPECT_EQ(model->prgmEditCursor(), model->program().length());
    model->cursorRight();
    EXPECT_EQ(model->prgmEditCursor(), model->program().length());
}

TEST_F(ProgramModelTest, InsertAndOverwrite)
{
    open("P", "AB\nC");
    // Overwriting replaces a token but never a line break, except the last opcode.
    model->setPrgmEditCursor(0);
    model->addOpcode('X', false);
    EXPECT_EQ(ops(), programOps("XB\nC"));
    model->setPrgmEditCursor(2);
    model->addOpcode('Y', false);
    EXPECT_EQ(ops(), programOps("XBY\nC"));
    model->setPrgmEditCursor(4);
    model->addOpcode('Z', false);
    EXPECT_EQ(ops(), programOps("XBY\nZ"));
    model->addOpcode('W', false);
    EXPECT_EQ(ops(), programOps("XBY\nZW"));
    model->setPrgmEditCursor(0);
    model->addOpcode('V', true);
    EXPECT_EQ(ops(), programOps("VXBY\nZW"));
    EXPECT_EQ(model->prgmEditCursor(), 1);
    // ENTER on a line break adds one in either mode.
    model->setPrgmEditCursor(4);
    model->enter();
    calc.insert = 1;
    model->enter();
    EXPECT_EQ(ops(), programOps("VXBY\n\n\nZW"));
    EXPECT_TRUE(model->dirty());
}

TEST_F(ProgramModelTest, ClearEmptiesTheLineAndDelRemovesOneToken)
{
    open("P", "Disp 1\nDisp 23\nA");
    model->setPrgmEditCursor(4);
    model->clear();
    EXPECT_EQ(ops(), programOps("Disp 1\n\nA"));
    EXPECT_EQ(model->prgmEditCursor(), 3);
    // An empty line stays as it is.
    model->clear();
    EXPECT_EQ(ops(), programOps("Disp 1\n\nA"));
    model->setPrgmEditCursor(0);
    model->deleteOpcode();
    EXPECT_EQ(ops(), programOps("1\n\nA"));
    model->cursorBottom();
    model->deleteOpcode();
    EXPECT_EQ(ops(), programOps("1\n\nA"));
    // A selection goes whole.
    model->setPrgmSelection({0, 2});
    model->deleteOpcode();
    EXPECT_EQ(ops(), programOps("\nA"));
    model->undo();
    EXPECT_EQ(ops(), programOps("1\n\nA"));
    // DEL at the end changed nothing and took no snapshot.
    model->undo();
    EXPECT_EQ(ops(), programOps("Disp 1\n\nA"));
}

TEST_F(ProgramModelTest, ClipboardCutCopyPaste)
{
    open("P", "ABC");
    model->setPrgmSelection({1, 2});
    model->copyOps();
    EXPECT_EQ(calc.prgmPasteBuffer, programOps("BC"));
    model->setPrgmEditCursor(0);
    model->clearSelection();
    model->pasteOps();
    EXPECT_EQ(ops(), programOps("BCABC"));
    EXPECT_EQ(model->prgmEditCursor(), 2);
    // Pasting over a selection replaces it.
    model->setPrgmSelection({0, 3});
    model->pasteOps();
    EXPECT_EQ(ops(), programOps("BCBC"));
    model->setPrgmSelection({0, 2});
    model->cutOps();
    EXPECT_EQ(ops(), programOps("BC"));
    model->selectAll();
    EXPECT_EQ(model->prgmSelection(), (ProgramModel::Range{0, 2}));
    EXPECT_EQ(model->prgmEditCursor(), 2);
}

TEST_F(ProgramModelTest, TheSizeLimitIsCheckedBeforeAnyChange)
{
    openLong("BIG", 65530);
    calc.prgmPasteBuffer = Ops(10, 'B');
    model->pasteOps();
    EXPECT_EQ(model->program().length(), 65530);
    EXPECT_FALSE(model->canUndo());
    EXPECT_EQ(errorNumbers(), std::vector<int>{93});
    // Up to the limit, then no further.
    calc.prgmPasteBuffer = Ops(5, 'B');
    model->pasteOps();
    EXPECT_EQ(model->program().length(), 65535);
    const std::size_t undos = model->undoArray().size();
    model->addOpcode('C', true);
    model->toggleBreakForLine(0);
    model->addProgramName("OTHER", true);
    model->addVariable("AB", true);
    EXPECT_EQ(model->program().length(), 65535);
    EXPECT_EQ(model->undoArray().size(), undos);
    EXPECT_EQ(errorNumbers(), (std::vector<int>{93, 93, 93, 93, 93}));
}

TEST_F(ProgramModelTest, AFileLongerThanAProgramMayBeIsNeverWrittenBackCut)
{
    // 90 000 opcodes, one of them of an older numbering, written by another program.
    Ops big(90000, 'A');
    big[89999] = 0xEF41;
    ProgramFiles::Dict dict{big, std::vector<std::string>{"t"}, std::string("d"), std::string("n"), std::nullopt};
    ASSERT_TRUE(QDir().mkpath(files->folder()));
    ASSERT_TRUE(writeBytes(path("BIG"), QByteArray::fromStdString(ProgramFiles::plistFor(dict))));
    const QByteArray before = readBytes(path("BIG"));
    EXPECT_EQ(files->opsFor("BIG")->size(), 90000u);
    // The editor refuses it whole: error 93, nothing to change, nothing written.
    model->loadProgram("BIG");
    EXPECT_TRUE(model->tooLarge());
    EXPECT_FALSE(model->isEditable());
    EXPECT_EQ(model->program().length(), 0);
    EXPECT_EQ(model->programNotes(), "n");
    EXPECT_EQ(errorNumbers(), std::vector<int>{93});
    model->addOpcode('B', true);
    model->saveProgramNotes("changed");
    model->saveProgram();
    model->loadProgram("OTHER");
    EXPECT_EQ(readBytes(path("BIG")), before);
    // Every other writer keeps all of it.
    ASSERT_TRUE(files->setNotes("new", "BIG"));
    EXPECT_EQ(files->opsFor("BIG")->size(), 90000u);
    files->updatePrograms();
    const auto renumbered = files->opsFor("BIG");
    ASSERT_EQ(renumbered->size(), 90000u);
    EXPECT_EQ(renumbered->back(), 0x5C50u);
    // A program of more opcodes than that is never written.
    EXPECT_FALSE(files->storeOps("BIG", big));
    EXPECT_FALSE(files->addProgram("HUGE", big));
    EXPECT_FALSE(files->exists("HUGE"));
    // A page's own manager reads it quietly.
    ProgramModel page(calc, files);
    page.loadProgram("BIG");
    EXPECT_TRUE(page.tooLarge());
    EXPECT_EQ(errorNumbers(), std::vector<int>{93});
}

// A file larger than any program makes, placed by hand: the library lists it without its
// description and tells once which file it left unread; the editor opens it empty and
// read-only and says why; nothing writes over it.
TEST_F(ProgramModelTest, AFileLargerThanAnyProgramIsToldByNameAndLeftAsItIs)
{
    std::vector<std::string> told;
    model->tell = [&told](const std::string& message) { told.push_back(message); };
    const ProgramFiles::Dict huge{Ops{'A'}, std::vector<std::string>{"t"}, std::string("d"), std::string(5 << 20, 'n'), 0u};
    ASSERT_TRUE(QDir().mkpath(files->folder()));
    ASSERT_TRUE(writeBytes(path("HUGE"), QByteArray::fromStdString(ProgramFiles::plistFor(huge))));
    const QByteArray before = readBytes(path("HUGE"));
    ASSERT_TRUE(model->storeProgram("SMALL", Ops{'B'}));
    EXPECT_EQ(model->programListOf(1), (std::vector<std::string>{"HUGE", "SMALL"}));
    for (int listed = 0; listed < 2; ++listed) {
        const ProgramManager::LibraryEntry entry = model->libraryEntry("HUGE");
        EXPECT_EQ(entry.desc, "");
        EXPECT_FALSE(entry.tags);
        EXPECT_EQ(model->libraryEntry("SMALL").tags, std::vector<std::string>{});
    }
    const std::string message = "The program file \"" + files->folder().toStdString()
        + "/HUGE\" was not read: no program the calculator writes is that large.";
    EXPECT_EQ(told, std::vector<std::string>{message});

    model->loadProgram("HUGE");
    EXPECT_TRUE(model->tooLarge());
    EXPECT_FALSE(model->isEditable());
    EXPECT_EQ(model->program().length(), 0);
    EXPECT_TRUE(model->programNotes().empty());
    EXPECT_EQ(told, (std::vector<std::string>{message, message}));
    EXPECT_TRUE(errorNumbers().empty());
    model->addOpcode('B', true);
    model->saveProgramNotes("changed");
    model->saveProgram();
    model->loadProgram("SMALL");
    // A notes page's own manager opens it quietly, as empty.
    ProgramModel page(calc, files);
    page.loadProgram("HUGE");
    EXPECT_TRUE(page.tooLarge());
    EXPECT_TRUE(page.programNotes().empty());
    page.saveProgramNotes("changed");
    page.saveProgram();
    EXPECT_EQ(told.size(), 2u);
    EXPECT_TRUE(readBytes(path("HUGE")) == before);
}

TEST_F(ProgramModelTest, RecallChecksTheLengthItWouldMake)
{
    // A program body recalled after RCL, where the name is short but the body is long.
    ASSERT_TRUE(files->storeOps("BODY", Ops(100, 'A')));
    openLong("BIG", 65440);
    model->cursorBottom();
    model->addOpcode(ProgramModel::kRCL, false);
    ASSERT_TRUE(model->processingRCL());
    model->addProgramName("BODY", true);
    EXPECT_EQ(model->program().length(), 65441);
    EXPECT_EQ(errorNumbers(), std::vector<int>{93});
    // A variable's value likewise: a list of many elements.
    {
        calc.locked()->lists["L₁"] = test::reals({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23,
            24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50});
    }
    model->addOpcode(0x5D00, true);
    EXPECT_EQ(model->program().length(), 65441);
    EXPECT_EQ(errorNumbers(), (std::vector<int>{93, 93}));
    EXPECT_TRUE(model->processingRCL());
    // Cursor keys wait while a recall waits; DEL takes the RCL away.
    const int at = model->prgmEditCursor();
    model->cursorLeft();
    model->cursorUp();
    EXPECT_EQ(model->prgmEditCursor(), at);
    model->deleteOpcode();
    EXPECT_EQ(model->program().length(), 65440);
    EXPECT_FALSE(model->processingRCL());

    // Within the limit the recall replaces the RCL.
    open("P", "1+");
    model->cursorBottom();
    model->addOpcode(ProgramModel::kRCL, false);
    calc.setVar(0, {{25, 0}});
    model->addOpcode('A', false);
    EXPECT_EQ(ops(), programOps("1+25"));
    model->addOpcode(ProgramModel::kRCL, true);
    model->addProgramName("BODY", true);
    EXPECT_EQ(model->program().length(), 104);
}

TEST_F(ProgramModelTest, ListAndProgramNamesBecomeTheirTokens)
{
    open("P", "");
    model->addVariable("AB1", true);
    model->addVariable("Lθ2", true);
    model->addVariable("L₂", true);
    EXPECT_EQ(ops(), (Ops{0xEB, 'A', 'B', '1', 0xEB, 'L', 0x5B, '2', 0x5D01}));
    open("P", "");
    model->addProgramName("Abc9", true);
    EXPECT_EQ(ops(), (Ops{0x5F, 'A', 0xBBB1, 0xBBB2, '9'}));
    // Not a call of itself.
    model->addProgramName("P", true);
    EXPECT_EQ(ops().size(), 5u);
}

TEST_F(ProgramModelTest, UndoKeepsFiftySnapshots)
{
    open("P", "");
    for (int i = 0; i < 51; ++i)
        model->addOpcode('A' + static_cast<std::uint32_t>(i % 26), true);
    EXPECT_EQ(model->undoArray().size(), 50u);
    model->setPrgmSelection({2, 3});
    const ProgramModel::Snapshot before = model->getState();
    model->undo();
    EXPECT_EQ(model->program().length(), 50);
    EXPECT_TRUE(model->canRedo());
    model->redo();
    const ProgramModel::Snapshot after = model->getState();
    EXPECT_EQ(after.program, before.program);
    EXPECT_EQ(after.editCursor, before.editCursor);
    EXPECT_EQ(after.selection, before.selection);
    while (model->canUndo())
        model->undo();
    // The oldest snapshot went: the first token stays.
    EXPECT_EQ(ops(), Ops{'A'});
    int redraws = 0;
    calc.notificationCenter().addObserver(this, VQRedrawKeyboard, [&](const Notification&) { ++redraws; });
    model->redo();
    model->addOpcode('Z', true);
    calc.notificationCenter().removeObserver(this);
    EXPECT_EQ(redraws, 2);
    EXPECT_FALSE(model->canRedo());
}

TEST_F(ProgramModelTest, ReadOnlyProgramsRefuseEveryEditSilently)
{
    model->loadProgram("Fibonacci");
    ASSERT_FALSE(model->isEditable());
    const Ops sample = ops();
    calc.prgmPasteBuffer = Ops{'A'};
    model->setPrgmEditCursor(3);
    model->addOpcode('A', true);
    model->addVariable("AB", true);
    model->addProgramName("X", true);
    model->deleteOpcode();
    model->clear();
    model->pasteOps();
    model->setPrgmSelection({0, 3});
    model->cutOps();
    model->deleteOps();
    model->toggleBreakForLine(0);
    model->saveTags("a");
    model->saveProgramDescription("d");
    EXPECT_EQ(ops(), sample);
    EXPECT_FALSE(model->dirty());
    EXPECT_TRUE(view->errors.empty());
    EXPECT_FALSE(model->canUndo());
    EXPECT_EQ(model->programTags(), (std::vector<std::string>{"Number theory", "Sequences"}));

    ASSERT_TRUE(files->write("LOCKED", ProgramFiles::Dict{Ops{'A'}, {}, {}, {}, 1u}));
    model->loadProgram("LOCKED");
    EXPECT_FALSE(model->isEditable());
    model->addOpcode('B', true);
    EXPECT_EQ(ops(), Ops{'A'});
    // Flags set on an editable program make it read-only from then on.
    open("P", "A");
    model->saveProgramFlags(2);
    model->addOpcode('B', true);
    EXPECT_EQ(ops(), Ops{'A'});
    model->saveProgram();
    EXPECT_EQ(files->flagsFor("P"), 2u);
}

TEST_F(ProgramModelTest, SavedProgramsReloadWithTheirMetadata)
{
    model->loadProgram("NEW");
    EXPECT_EQ(model->program().length(), 0);
    model->addOpcode(0xBB5D | (3u << 16), true);
    model->addOpcode(0xBB5E | (0x8001u << 16), true);
    model->saveTags(" b,a , b");
    model->saveProgramNotes("notes");
    model->saveProgramDescription("desc");
    EXPECT_FALSE(QFile::exists(path("NEW")));
    // Loading another program saves the changed one first.
    model->loadProgram("Fibonacci");
    EXPECT_FALSE(model->dirty());
    model->loadProgram("NEW");
    EXPECT_EQ(ops(), (Ops{0xBB5D | (3u << 16), 0xBB5E | (0x8001u << 16)}));
    EXPECT_EQ(model->programTags(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(model->programTagString(), "a,b");
    EXPECT_EQ(model->programNotes(), "notes");
    EXPECT_EQ(model->programDescription(), "desc");
    EXPECT_EQ(model->programFlags(), 0u);
    EXPECT_EQ(model->prgmEditCursor(), 0);
    EXPECT_EQ(model->textCursorCol(), 1);
    EXPECT_FALSE(model->canUndo());
    model->saveTags("");
    EXPECT_TRUE(model->programTags().empty());
}

TEST_F(ProgramModelTest, AFailedSaveKeepsTheChangesAndIsToldOnce)
{
    open("P", "A");
    std::vector<std::string> told;
    model->tell = [&told](const std::string& message) { told.push_back(message); };
    model->addOpcode('B', true);
    const QByteArray before = readBytes(path("P"));
    // The programs folder is put aside and a plain file stands in its place.
    const QString aside = files->folder() + ".aside";
    ASSERT_TRUE(QDir().rename(files->folder(), aside));
    ASSERT_TRUE(writeBytes(files->folder(), "in the way"));
    model->saveProgram();
    model->saveProgram();
    EXPECT_TRUE(model->dirty());
    EXPECT_EQ(told.size(), 1u);
    ASSERT_TRUE(QFile::remove(files->folder()));
    ASSERT_TRUE(QDir().rename(aside, files->folder()));
    EXPECT_EQ(readBytes(path("P")), before);

    // The changes were kept: written at the next save that can be made, and a later
    // failure is told again.
    model->saveProgram();
    EXPECT_FALSE(model->dirty());
    EXPECT_EQ(files->opsFor("P"), (Ops{'B', 'A'}));
    model->addOpcode('C', true);
    ASSERT_TRUE(QDir().rename(files->folder(), aside));
    ASSERT_TRUE(writeBytes(files->folder(), "in the way"));
    model->saveProgram();
    EXPECT_EQ(told.size(), 2u);
    ASSERT_TRUE(QFile::remove(files->folder()));
    ASSERT_TRUE(QDir().rename(aside, files->folder()));
}

TEST_F(ProgramModelTest, AFullDiskIsToldAsSuchAndTheChangesAreKept)
{
    open("PROG", "A");
    const QByteArray before = readBytes(path("PROG"));
    std::vector<std::string> told;
    model->tell = [&told](const std::string& message) { told.push_back(message); };
    model->addOpcode('B', true);
    AtomicFile::systemWrite = [](int, const void*, std::size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    model->saveProgram();
    AtomicFile::systemWrite = nullptr;
    EXPECT_EQ(told, std::vector<std::string>{"The program \"PROG\" could not be saved: the disk is full."});
    EXPECT_TRUE(model->dirty());
    EXPECT_EQ(readBytes(path("PROG")), before);
    EXPECT_EQ(QDir(files->folder()).entryList(QDir::Files | QDir::Hidden), QStringList{"PROG"});
    model->saveProgram();
    EXPECT_EQ(files->opsFor("PROG"), (Ops{'B', 'A'}));
}

// An import over the open program keeps a copy only of lines typed since it was opened,
// and replaces nothing when that copy cannot be written.
TEST_F(ProgramModelTest, AnImportOverTheOpenProgramKeepsOnlyTypedLinesAndNeedsTheirCopy)
{
    std::vector<std::string> told;
    model->tell = [&told](const std::string& message) { told.push_back(message); };
    const ProgramFiles::Dict arrived{Ops{'X', 'Y'}, std::vector<std::string>{}, "new", "", 0u};
    // Opened and left as it was, or typed into and put back: nothing to keep.
    open("GAME", "A");
    ASSERT_TRUE(model->importProgram("GAME", arrived));
    EXPECT_EQ(ops(), (Ops{'X', 'Y'}));
    EXPECT_EQ(files->programListOf(1), std::vector<std::string>{"GAME"});
    model->addOpcode('B', true);
    model->undo();
    ASSERT_EQ(ops(), (Ops{'X', 'Y'}));
    ASSERT_TRUE(model->importProgram("GAME", {Ops{'Z'}, std::vector<std::string>{}, "", "", 0u}));
    EXPECT_EQ(ops(), Ops{'Z'});
    EXPECT_EQ(files->programListOf(1), std::vector<std::string>{"GAME"});
    EXPECT_TRUE(told.empty());

    // Typed lines whose copy cannot be written: the program stays as it is, typed lines and all.
    model->addOpcode('B', true);
    static int writes = 0;
    writes = 0;
    AtomicFile::systemWrite = [](int fd, const void* bytes, std::size_t count) -> ssize_t {
        if (writes++ == 0) {
            errno = ENOSPC;
            return -1;
        }
        return ::write(fd, bytes, count);
    };
    EXPECT_FALSE(model->importProgram("GAME", arrived));
    AtomicFile::systemWrite = nullptr;
    EXPECT_EQ(told, std::vector<std::string>{"The program \"GAME\" has lines typed that could not be kept: it was not "
                                             "replaced."});
    EXPECT_EQ(ops(), (Ops{'B', 'Z'}));
    EXPECT_EQ(files->opsFor("GAME"), Ops{'Z'});
    EXPECT_EQ(files->descFor("GAME"), "");
    EXPECT_EQ(files->programListOf(1), std::vector<std::string>{"GAME"});
    // With room again the copy is kept and the import replaces the program.
    ASSERT_TRUE(model->importProgram("GAME", arrived));
    EXPECT_EQ(files->opsFor("GAME1"), (Ops{'B', 'Z'}));
    EXPECT_EQ(files->opsFor("GAME"), (Ops{'X', 'Y'}));
    EXPECT_EQ(ops(), (Ops{'X', 'Y'}));
}

TEST_F(ProgramModelTest, AnOlderArrayFileIsConvertedWhenOpened)
{
    QDir().mkpath(files->folder());
    writeBytes(path("OLD"), "<plist version=\"1.0\"><array><integer>65</integer><integer>66</integer></array></plist>");
    model->loadProgram("OLD");
    EXPECT_EQ(ops(), (Ops{'A', 'B'}));
    EXPECT_EQ(files->opsFor("OLD"), (Ops{'A', 'B'}));
    model->addOpcode('C', true);
    model->saveProgram();
    EXPECT_EQ(files->opsFor("OLD"), (Ops{'C', 'A', 'B'}));
}

TEST_F(ProgramModelTest, StoringAProgramKeepsItsMetadataAndReloadsItWhenOpen)
{
    ASSERT_EQ(model->addFileNamed("KEEP", "Described", "", "t"), ProgramManager::Added::Added);
    model->loadProgram("KEEP");
    ASSERT_TRUE(model->storeProgram("KEEP", programOps("Disp 1")));
    EXPECT_EQ(ops(), programOps("Disp 1"));
    EXPECT_EQ(model->programDescription(), "Described");
    EXPECT_EQ(files->tagsFor("KEEP"), std::vector<std::string>{"t"});
    EXPECT_FALSE(model->storeProgram("../x", Ops{1}));
    EXPECT_TRUE(model->deleteProgramNamed("KEEP"));
    EXPECT_FALSE(model->deleteProgramNamed("Fibonacci"));
}

TEST_F(ProgramModelTest, NameCompletionAndQuoting)
{
    open("P", "Disp \"sin");
    model->cursorBottom();
    EXPECT_TRUE(model->isQuoting());
    model->cursorBottom();
    EXPECT_EQ(model->transformOp(0xBBB0), 0xBBB0u);
    open("P", "");
    model->addOpcode(0xBBC3, true);  // s
    model->addOpcode(0xBBB8, true);  // i
    EXPECT_FALSE(model->isQuoting());
    model->addOpcode(model->transformOp(0xBBBE), true);  // n
    // A bracket completes the name: the letters make way for the command.
    const std::uint32_t typed = model->transformOp(0x10);
    EXPECT_EQ(calc.nameForOpcode(typed), "sin(");
    EXPECT_EQ(model->program().length(), 0);
    EXPECT_EQ(model->prgmEditCursor(), 0);
    EXPECT_EQ(ProgramModel::tagArrayFromString("b,a"), (std::vector<std::string>{"a", "b"}));
}

} // namespace
} // namespace orvenda::test

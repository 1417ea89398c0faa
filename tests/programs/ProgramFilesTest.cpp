// The program files: what is written and read back, what a damaged or foreign file reads
// as, which names may become files, the sample programs and the renumbering of old ones.

#include "ProgramTestSupport.h"

#include "programs/SamplePrograms.h"

#include <QDir>
#include <QFileInfo>

#include <plist/plist.h>

#include <sys/stat.h>

namespace orvenda::test {
namespace {

using Dict = ProgramFiles::Dict;

class ProgramFilesTest : public ::testing::Test {
protected:
    ProgramFilesTest() : files(folder.path() + "/programs") { QDir().mkpath(files.folder()); }
    QString path(const std::string& name) const { return files.folder() + "/" + QString::fromStdString(name); }

    QTemporaryDir folder;
    ProgramFiles files;
};

// The keys of the dictionary a file holds, in file order.
std::vector<std::string> keysOf(const QByteArray& bytes)
{
    plist_t root = nullptr;
    plist_from_memory(bytes.constData(), static_cast<std::uint32_t>(bytes.size()), &root);
    std::vector<std::string> keys;
    if (root && plist_get_node_type(root) == PLIST_DICT) {
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(root, &it);
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(root, it, &key, &value);
            if (!key)
                break;
            keys.emplace_back(key);
            std::free(key);
        }
        std::free(it);
    }
    plist_free(root);
    std::sort(keys.begin(), keys.end());
    return keys;
}

TEST_F(ProgramFilesTest, AProgramRoundTripsThroughItsFile)
{
    Dict dict;
    // Two-byte tokens and opcodes whose parameters fill the high half, the sign bit too.
    dict.prgm = Ops{0x41, 0x3F, 0x5C58, 0xBB5D | (7u << 16), 0xBB5E | (0x8123u << 16), 0xFFFFFFFFu, 0x5E10};
    dict.tags = std::vector<std::string>{"Algebra", "zeta"};
    dict.desc = "One line";
    dict.notes = "<screenShot>\nA=?3\n</screenShot>\nnotes ü";
    dict.flags = 0x80000002u;
    ASSERT_TRUE(files.write("ROUND", dict));
    EXPECT_EQ(files.dictFor("ROUND"), dict);
    EXPECT_EQ(keysOf(readBytes(path("ROUND"))), (std::vector<std::string>{"desc", "flags", "notes", "prgm", "tags"}));
    // Written as signed 32-bit numbers.
    EXPECT_TRUE(readBytes(path("ROUND")).contains("<integer>-1</integer>"));
    EXPECT_EQ(files.flagsFor("ROUND"), 0x80000002u);
    EXPECT_EQ(files.tagStringFor("ROUND"), "Algebra,zeta");

    // A file made for an import carries empty metadata and no flags.
    ASSERT_TRUE(files.addProgram("IMP", Ops{0x41}));
    EXPECT_EQ(keysOf(readBytes(path("IMP"))), (std::vector<std::string>{"desc", "notes", "prgm", "tags"}));
    EXPECT_EQ(files.flagsFor("IMP"), 0u);
    EXPECT_EQ(files.descFor("IMP"), "");
    // The samples' JSON form of a user file.
    const auto json = files.jsonForPrgm("IMP");
    ASSERT_TRUE(json);
    EXPECT_EQ(ProgramFiles::dictFromJson(*json), files.dictFor("IMP"));
    EXPECT_EQ(files.jsonForPrgm("NONE"), std::nullopt);
}

TEST_F(ProgramFilesTest, DamagedOrForeignFilesReadAsTheDefaults)
{
    writeBytes(path("JUNK"), "\x00\x01garbage<plist");
    writeBytes(path("EMPTY"), "");
    writeBytes(path("STRING"), "<plist version=\"1.0\"><string>x</string></plist>");
    writeBytes(path("WRONG"), "<plist version=\"1.0\"><dict><key>prgm</key><string>A</string><key>flags</key>"
                              "<string>2</string><key>tags</key><string>a</string><key>desc</key><integer>3</integer>"
                              "</dict></plist>");
    writeBytes(path("MIXED"), "<plist version=\"1.0\"><dict><key>prgm</key><array><integer>65</integer><string>B</string>"
                              "<real>2.5</real><integer>66</integer></array><key>tags</key><array><string>t</string>"
                              "<integer>1</integer></array></dict></plist>");
    // A text with a NUL in it (libplist's own copy of it stops the process).
    writeBytes(path("NUL"), QByteArray("<plist version=\"1.0\"><dict><key>desc</key><string>a\0b</string>"
                                       "<key>prgm</key><array><integer>65</integer></array></dict></plist>", 128));
    EXPECT_EQ(files.opsFor("NUL"), Ops{65});
    EXPECT_EQ(files.descFor("NUL").substr(0, 1), "a");
    for (const std::string name : {"JUNK", "EMPTY", "STRING", "NOFILE"}) {
        EXPECT_EQ(files.dictFor(name), std::nullopt) << name;
        EXPECT_EQ(files.opsFor(name), std::nullopt) << name;
        EXPECT_EQ(files.tagsFor(name), std::nullopt) << name;
        EXPECT_EQ(files.flagsFor(name), 0u) << name;
        EXPECT_EQ(files.descFor(name), "") << name;
        EXPECT_EQ(files.notesFor(name), "") << name;
        EXPECT_FALSE(files.setDesc("x", name)) << name;
    }
    // Keys of the wrong kind count as missing; an array keeps what it should hold.
    EXPECT_EQ(files.dictFor("WRONG"), Dict{});
    EXPECT_EQ(files.opsFor("MIXED"), (Ops{65, 66}));
    EXPECT_EQ(files.tagsFor("MIXED"), std::vector<std::string>{"t"});
    for (const std::string_view text : {"", "[1,2]", "{\"prgm\":", "{\"prgm\":\"A\",\"flags\":\"x\"}", "nul"}) {
        const auto dict = ProgramFiles::dictFromJson(text);
        EXPECT_TRUE(!dict || *dict == Dict{}) << text;
    }
}

// A link to an endless device and a FIFO in the folder read as no program, at once: neither
// is read to its end nor waited on.
TEST_F(ProgramFilesTest, EndlessFilesAndFifosReadAsNoProgram)
{
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path("ZERO")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("FIFO")).constData(), 0600), 0);
    for (const std::string name : {"ZERO", "FIFO"}) {
        EXPECT_EQ(files.dictFor(name), std::nullopt) << name;
        EXPECT_EQ(files.opsFor(name), std::nullopt) << name;
    }
}

// The largest file a program makes is read; a larger one, placed by hand, is refused before
// it is read, and the app writes none.
TEST_F(ProgramFilesTest, FilesLargerThanAnyProgramMakesAreRefusedUnread)
{
    // The most a program holds, in its longest numbers, with a calculator file's 65 535
    // bytes of texts, every one escaped.
    const Dict largest{Ops(ProgramFiles::kMaxOps, 0x80000000u), std::vector<std::string>{"tag"}, std::string(100, 'd'),
        std::string(65535 - 103, '&'), 0u};
    ASSERT_TRUE(files.write("LARGEST", largest));
    EXPECT_LT(QFileInfo(path("LARGEST")).size(), ProgramFiles::kMaxFileSize * 3 / 4);
    EXPECT_EQ(files.dictFor("LARGEST"), largest);
    EXPECT_FALSE(files.refused("LARGEST"));

    // Six megabytes of notes.
    const Dict huge{Ops{65}, std::vector<std::string>{"t"}, std::string("d"), std::string(6 << 20, 'n'), 0u};
    ASSERT_TRUE(writeBytes(path("HUGE"), QByteArray::fromStdString(ProgramFiles::plistFor(huge))));
    EXPECT_TRUE(files.refused("HUGE"));
    EXPECT_EQ(files.dictFor("HUGE"), std::nullopt);
    EXPECT_EQ(files.opsForProgramNamed("HUGE"), std::nullopt);
    EXPECT_TRUE(files.exists("HUGE"));
    EXPECT_EQ(files.programListOf(1), (std::vector<std::string>{"HUGE", "LARGEST"}));
    EXPECT_FALSE(files.write("HUGE2", huge));
    EXPECT_FALSE(files.exists("HUGE2"));
    // Damaged, missing and unreadable files are no refusals.
    ASSERT_TRUE(writeBytes(path("JUNK"), "<plist"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path("ZERO")));
    for (const std::string name : {"JUNK", "ZERO", "NOFILE", "../HUGE"})
        EXPECT_FALSE(files.refused(name)) << name;
}

// libplist alone: a dictionary's text under key, or nothing when the bytes are no dictionary.
std::optional<std::string> libplistText(const QByteArray& bytes, const char* key)
{
    plist_t root = nullptr;
    plist_from_memory(bytes.constData(), static_cast<std::uint32_t>(bytes.size()), &root);
    std::optional<std::string> text;
    if (root && plist_get_node_type(root) == PLIST_DICT) {
        text.emplace();
        if (const plist_t node = plist_dict_get_item(root, key); node && plist_get_node_type(node) == PLIST_STRING) {
            std::uint64_t length = 0;
            const char* chars = plist_get_string_ptr(node, &length);
            text->assign(chars, static_cast<std::size_t>(length));
        }
    }
    plist_free(root);
    return text;
}

// Texts full of entities are read in one pass, as they were written, and a hand-made list's
// entities, CDATA sections and comments read as libplist alone reads them.
TEST_F(ProgramFilesTest, TextsFullOfEntitiesReadAsWritten)
{
    std::string html;
    while (html.size() < (1u << 20))
        html += "<p>a &amp; b &lt; c</p>\n";
    const Dict notes{Ops{65}, std::vector<std::string>{"t<&>"}, std::string("]]>&"), html, 0u};
    ASSERT_TRUE(files.write("HTML", notes));
    EXPECT_EQ(files.dictFor("HTML"), notes);

    const QByteArray hand = "<?xml version=\"1.0\"?><!DOCTYPE plist PUBLIC \"-//x//EN\" \"x.dtd\"><plist version=\"1.0\">"
                            "<dict><key>d&#101;sc</key><string>&#65;&#x42;&#X43;&#xe9;&#x20AC;&#x1F600; &ampere; &apos;&quot;"
                            "&lt;&gt; ]]&gt;]]&gt; a&</string><key>notes</key><string>x&amp;<!-- c&bogus; -->y&lt;"
                            "<![CDATA[&amp;]]>z&</string><key>tags</key><array><string attr=\"&lt;>\">&#x74;</string>"
                            "<string/></array><key>prgm</key><array><integer>6&#53;</integer></array></dict></plist>";
    ASSERT_TRUE(writeBytes(path("HAND"), hand));
    const auto read = files.dictFor("HAND");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->desc, "ABC\u00E9\u20AC\U0001F600 & '\"<> ]]>]]> a&");
    EXPECT_EQ(read->desc, libplistText(hand, "desc"));
    EXPECT_EQ(read->notes, "x&y<&amp;z&");
    EXPECT_EQ(read->notes, libplistText(hand, "notes"));
    EXPECT_EQ(read->tags, (std::vector<std::string>{"t", ""}));
    EXPECT_EQ(read->prgm, Ops{6});
    // Entities libplist refuses: no list, as to libplist alone.
    for (const std::string entity : {"&bogus;", "&;", "&#0;", "&#x110000;", "&#123456789;", "&#x;", "&#12a;", "&amp b"}) {
        const QByteArray bad = QByteArray::fromStdString("<plist version=\"1.0\"><dict><key>desc</key><string>a" + entity
            + "b</string></dict></plist>");
        ASSERT_TRUE(writeBytes(path("BAD"), bad));
        EXPECT_EQ(files.dictFor("BAD"), std::nullopt) << entity;
        EXPECT_EQ(libplistText(bad, "desc"), std::nullopt) << entity;
    }
}

TEST_F(ProgramFilesTest, OnlyProgramNamesBecomeFiles)
{
    for (const std::string name : {"A", "ABCDEFGH", "abc1", "θ2", "9LIVES"})
        EXPECT_TRUE(ProgramFiles::isProgramName(name)) << name;
    for (const std::string& name : std::vector<std::string>{"", "ABCDEFGHI", "../x", "/", "a/b", ".", "..", "A.B", "A B", "É", std::string("A\0B", 3)})
        EXPECT_FALSE(ProgramFiles::isProgramName(name)) << name;
    // Refused before anything reaches the disk, in every operation.
    const Ops ops{0x41};
    for (const std::string& name : std::vector<std::string>{"../ESCAPE", "/ESCAPE", std::string("ESC\0APE", 7), "a/b"}) {
        EXPECT_FALSE(files.write(name, Dict{ops, {}, {}, {}, {}})) << name;
        EXPECT_FALSE(files.addProgram(name, ops)) << name;
        EXPECT_FALSE(files.storeOps(name, ops)) << name;
        EXPECT_EQ(files.createProgram(name, "", "", ""), ProgramFiles::Added::BadName) << name;
        EXPECT_FALSE(files.deleteProgram(name)) << name;
    }
    EXPECT_EQ(files.createProgram("", "", "", ""), ProgramFiles::Added::EmptyName);
    EXPECT_FALSE(QFile::exists(folder.path() + "/ESCAPE"));
    EXPECT_FALSE(QFile::exists("/ESCAPE"));
    EXPECT_EQ(QDir(files.folder()).entryList(QDir::Files | QDir::Hidden), QStringList{});
    writeBytes(folder.path() + "/OUTSIDE", QByteArray(ProgramFiles::plistFor(Dict{ops, {}, {}, {}, {}}).c_str()));
    EXPECT_EQ(files.opsFor("../OUTSIDE"), std::nullopt);
}

TEST_F(ProgramFilesTest, TheListsAndTheSamples)
{
    const std::vector<std::string> samples(SamplePrograms::kNames.begin(), SamplePrograms::kNames.end());
    EXPECT_EQ(files.programListOf(0), samples);
    EXPECT_EQ(files.programListOf(2), samples);
    EXPECT_EQ(files.programListOf(1), std::vector<std::string>{});
    EXPECT_EQ(files.programListOf(3), std::vector<std::string>{});
    ASSERT_TRUE(files.createProgram("MINE", "Mine", "", "b, a ,b") == ProgramFiles::Added::Added);
    EXPECT_EQ(files.createProgram("MINE", "", "", ""), ProgramFiles::Added::NameInUse);
    writeBytes(path("notes.txt"), "x");
    writeBytes(path("Fibonacci"), QByteArray(ProgramFiles::plistFor(Dict{Ops{1}, {}, {}, {}, {}}).c_str()));
    EXPECT_EQ(files.programListOf(1), std::vector<std::string>{"MINE"});
    EXPECT_EQ(files.programListOf(0).size(), 30u);
    EXPECT_EQ(files.tagsFor("MINE"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(files.opsFor("MINE"), Ops{});

    // A sample is always the app's own, whatever file has its name.
    EXPECT_NE(files.opsFor("Fibonacci"), Ops{1});
    for (const std::string_view name : SamplePrograms::kNames) {
        const auto dict = files.dictFor(std::string(name));
        ASSERT_TRUE(dict) << name;
        EXPECT_TRUE(dict->prgm && !dict->prgm->empty()) << name;
        EXPECT_TRUE(dict->tags && !dict->tags->empty()) << name;
        EXPECT_FALSE(dict->desc.value_or("").empty()) << name;
        EXPECT_FALSE(dict->notes.value_or("").empty()) << name;
        EXPECT_EQ(dict->flags, 0u) << name;
        EXPECT_FALSE(files.setDesc("mine now", std::string(name)));
        EXPECT_FALSE(files.deleteProgram(std::string(name)));
    }
    EXPECT_EQ(files.dictFor("NoSuchSample"), std::nullopt);
}

TEST_F(ProgramFilesTest, MetadataChangesOnlyExistingDictionaries)
{
    ASSERT_TRUE(files.addProgram("P", Ops{0x41}));
    EXPECT_TRUE(files.setDesc("Adds", "P"));
    EXPECT_TRUE(files.setNotes("Some notes", "P"));
    EXPECT_TRUE(files.setFlags(2, "P"));
    // Split at each comma as it is.
    EXPECT_TRUE(files.setTags("b, a,,c", "P"));
    const auto dict = files.dictFor("P");
    ASSERT_TRUE(dict);
    EXPECT_EQ(dict->prgm, Ops{0x41});
    EXPECT_EQ(dict->desc, "Adds");
    EXPECT_EQ(dict->notes, "Some notes");
    EXPECT_EQ(dict->flags, 2u);
    EXPECT_EQ(dict->tags, (std::vector<std::string>{"b", " a", "", "c"}));
    EXPECT_FALSE(files.setNotes("x", "MISSING"));
    EXPECT_FALSE(QFile::exists(path("MISSING")));
}

// A file written once says when it was made by its own creation time; the writes that
// replace it keep that time as its "created", and so do the writes after them.
TEST_F(ProgramFilesTest, TheWritesThatReplaceAFileKeepWhenItsProgramWasMade)
{
    ASSERT_TRUE(files.addProgram("P", Ops{0x41}));
    EXPECT_FALSE(files.dictFor("P")->created);
    const std::optional<QDateTime> made = files.createdFor("P");
    ASSERT_TRUE(made && made->isValid());
    for (const char* desc : {"one", "two"}) {
        ASSERT_TRUE(files.setDesc(desc, "P"));
        EXPECT_EQ(files.dictFor("P")->created, made) << desc;
    }
    ASSERT_TRUE(files.storeOps("P", Ops{0x42}));
    EXPECT_EQ(ProgramFiles(files.folder()).createdFor("P"), made);
    EXPECT_EQ(files.createdFor("NONE"), std::nullopt);
}

// A file's "created" is read and kept as the file holds it, in any year; a value that is
// not a date reads as the file's own birth, as a file without one does.
TEST_F(ProgramFilesTest, ACreatedDateIsReadAndKeptAsTheFileHoldsIt)
{
    const auto file = [](const std::string& created) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>prgm</key><array>"
               "<integer>65</integer></array>" + created + "</dict></plist>";
    };
    const auto utc = [](int y, int m, int d, int h = 0, int min = 0, int sec = 0) {
        return QDateTime(QDate(y, m, d), QTime(h, min, sec), Qt::UTC);
    };
    struct Case {
        const char* what;
        std::string created;
        std::optional<QDateTime> read; // nothing: the file's birth
    };
    const Case cases[] = {
        {"inside 32 bits", "<key>created</key><date>2020-05-06T07:08:09Z</date>", utc(2020, 5, 6, 7, 8, 9)},
        {"before 1932", "<key>created</key><date>1900-03-04T05:06:07Z</date>", utc(1900, 3, 4, 5, 6, 7)},
        {"just before 1932's limit", "<key>created</key><date>1932-12-13T20:45:51Z</date>", utc(1932, 12, 13, 20, 45, 51)},
        {"after 2069", "<key>created</key><date>2100-12-31T23:59:59Z</date>", utc(2100, 12, 31, 23, 59, 59)},
        {"far ahead", "<key>created</key><date>9999-01-02T03:04:05Z</date>", utc(9999, 1, 2, 3, 4, 5)},
        {"the first day", "<key>created</key><date>0001-01-01T00:00:00Z</date>", utc(1, 1, 1)},
        {"text that is no date", "<key>created</key><date>yesterday</date>", std::nullopt},
        {"an empty date", "<key>created</key><date></date>", std::nullopt},
        {"a string", "<key>created</key><string>2020-05-06T07:08:09Z</string>", std::nullopt},
        {"a number", "<key>created</key><integer>5</integer>", std::nullopt},
        {"a date under another key", "<key>made</key><date>2100-01-01T00:00:00Z</date>", std::nullopt},
        {"a date inside another value", "<key>tags</key><array><date>2100-01-01T00:00:00Z</date></array>", std::nullopt},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(writeBytes(path("P"), QByteArray::fromStdString(file(c.created)))) << c.what;
        const QDateTime born = *files.createdFor("P"); // before any save: the date, or the birth
        if (c.read) {
            EXPECT_EQ(files.dictFor("P")->created, c.read) << c.what;
            EXPECT_EQ(born, c.read) << c.what;
        } else {
            EXPECT_EQ(files.dictFor("P")->created, std::nullopt) << c.what;
            EXPECT_LT(std::abs(born.secsTo(QFileInfo(path("P")).lastModified())), 5 * 60) << c.what;
        }
        // Saves keep it, through this folder and another reading it afresh.
        ASSERT_TRUE(files.setDesc("changed", "P")) << c.what;
        ASSERT_TRUE(files.storeOps("P", Ops{0x42})) << c.what;
        EXPECT_EQ(ProgramFiles(files.folder()).createdFor("P"), born) << c.what;
        EXPECT_EQ(files.dictFor("P")->created, born) << c.what;
        EXPECT_EQ(files.opsFor("P"), Ops{0x42}) << c.what;
        ASSERT_TRUE(QFile::remove(path("P")));
    }

    // A binary file's date, and a dictionary written with a date of another century.
    Dict dict;
    dict.prgm = Ops{0x41};
    dict.created = utc(2150, 6, 7, 8, 9, 10);
    ASSERT_TRUE(files.write("Q", dict));
    EXPECT_EQ(files.dictFor("Q")->created, dict.created);
    EXPECT_TRUE(readBytes(path("Q")).contains("<date>2150-06-07T08:09:10Z</date>"));
    plist_t root = nullptr;
    const QByteArray xml = readBytes(path("Q"));
    plist_from_xml(xml.constData(), static_cast<std::uint32_t>(xml.size()), &root);
    char* binary = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(root, &binary, &length);
    ASSERT_TRUE(writeBytes(path("B"), QByteArray(binary, static_cast<qsizetype>(length))));
    std::free(binary);
    plist_free(root);
    EXPECT_EQ(files.dictFor("B")->created, dict.created);
    // A binary file's date before the year 1000, which its XML form spells with fewer digits.
    for (const QDateTime& early : {utc(1, 1, 1), utc(999, 2, 3, 4, 5, 6)}) {
        dict.created = early;
        ASSERT_TRUE(files.write("Q", dict));
        const QByteArray text = readBytes(path("Q"));
        root = nullptr;
        binary = nullptr;
        plist_from_xml(text.constData(), static_cast<std::uint32_t>(text.size()), &root);
        plist_to_bin(root, &binary, &length);
        ASSERT_TRUE(writeBytes(path("B"), QByteArray(binary, static_cast<qsizetype>(length))));
        std::free(binary);
        plist_free(root);
        EXPECT_EQ(files.dictFor("B")->created, early) << early.toString(Qt::ISODate).toStdString();
    }
}

TEST_F(ProgramFilesTest, TheOlderArrayFormIsReadOnlyAsOpcodes)
{
    writeBytes(path("OLD"), "<plist version=\"1.0\"><array><integer>65</integer><integer>-1</integer></array></plist>");
    EXPECT_EQ(files.dictFor("OLD"), std::nullopt);
    EXPECT_EQ(files.opsFor("OLD"), std::nullopt);
    EXPECT_EQ(files.opsForProgramNamed("OLD"), (Ops{65, 0xFFFFFFFFu}));
    ASSERT_TRUE(files.addProgram("NEW", Ops{66}));
    EXPECT_EQ(files.opsForProgramNamed("NEW"), Ops{66});
    EXPECT_EQ(files.opsForProgramNamed("Fibonacci"), std::nullopt);
}

TEST_F(ProgramFilesTest, LeftoversOfKilledSavesAreRemovedAndNothingElse)
{
    ASSERT_TRUE(files.write("PROG", {Ops{'A'}, std::nullopt, std::nullopt, std::nullopt, std::nullopt}));
    const QDir folder(files.folder());
    const QStringList left{".PROG~orvenda-unfinished-save~a1B2c3", ".θ2~orvenda-unfinished-save~zzzzzz"};
    // Not the app's: a name no program has, another length of the random part, a
    // person's file.
    const QStringList kept{"PROG", ".x y~orvenda-unfinished-save~abcdef", ".PROG~orvenda-unfinished-save~abc",
        "PROG~orvenda-unfinished-save~abcdef", ".PROG.bak"};
    for (const QString& name : left + kept.mid(1))
        ASSERT_TRUE(writeBytes(folder.filePath(name), "x"));
    EXPECT_EQ(files.removeLeftovers(), 2);
    QStringList now = folder.entryList(QDir::Files | QDir::Hidden);
    now.sort();
    QStringList expected = kept;
    expected.sort();
    EXPECT_EQ(now, expected);
    EXPECT_EQ(files.opsFor("PROG"), Ops{'A'});
}

TEST(ProgramFilesRemapTest, MapsExactlyItsTable)
{
    Ops ops;
    for (std::uint32_t op = 0xEF40; op <= 0xEF80; ++op)
        ops.push_back(op);
    ops.push_back(0x1EF41);
    ASSERT_TRUE(ProgramFiles::remapOps(ops));
    EXPECT_EQ(ops.front(), 0xEF40u);
    EXPECT_EQ(ops[ops.size() - 2], 0xEF80u);
    EXPECT_EQ(ops.back(), 0x1EF41u);
    const auto at = [&](std::uint32_t old) { return ops[old - 0xEF40]; };
    EXPECT_EQ(at(0xEF41), 0x5C50u);
    EXPECT_EQ(at(0xEF49), 0x5C58u);
    EXPECT_EQ(at(0xEF4F), 0x5C5Eu);
    EXPECT_EQ(at(0xEF50), 0x5C20u);
    EXPECT_EQ(at(0xEF5A), 0x5C2Au);
    EXPECT_EQ(at(0xEF5B), 0x5C4Cu);
    EXPECT_EQ(at(0xEF5C), 0x5C2Bu);
    EXPECT_EQ(at(0xEF63), 0x5C32u);
    EXPECT_EQ(at(0xEF64), 0x5C4Eu);
    EXPECT_EQ(at(0xEF65), 0x5C4Du);
    EXPECT_EQ(at(0xEF66), 0x5C33u);
    EXPECT_EQ(at(0xEF67), 0x5C4Fu);
    EXPECT_EQ(at(0xEF68), 0x5C34u);
    EXPECT_EQ(at(0xEF7F), 0x5C4Bu);
    // Every new number once: the table is a one-to-one renumbering.
    Ops mapped(ops.begin() + 1, ops.end() - 2);
    std::sort(mapped.begin(), mapped.end());
    EXPECT_EQ(std::adjacent_find(mapped.begin(), mapped.end()), mapped.end());
    Ops plain{0x41, 0xEF40};
    EXPECT_FALSE(ProgramFiles::remapOps(plain));
}

TEST_F(ProgramFilesTest, UpdatingRewritesOnlyTheFilesThatChange)
{
    ASSERT_TRUE(files.addProgram("OLDTOK", Ops{0xEF49, 0x41}));
    // A file this version did not write: rewritten only if its tokens change.
    const QByteArray foreign = "<?xml version=\"1.0\"?>\n<plist version=\"1.0\">  <dict><key>prgm</key>"
                               "<array><integer>65</integer></array></dict></plist>\n";
    writeBytes(path("CURRENT"), foreign);
    writeBytes(path("ARRAY"), "<plist version=\"1.0\"><array><integer>61257</integer></array></plist>");
    files.updatePrograms();
    EXPECT_EQ(files.opsFor("OLDTOK"), (Ops{0x5C58, 0x41}));
    EXPECT_EQ(readBytes(path("CURRENT")), foreign);
    EXPECT_EQ(files.opsForProgramNamed("ARRAY"), Ops{0xEF49});
}

TEST(ProgramFilesTagsTest, TagTextBecomesTrimmedUniqueSortedTags)
{
    using Tags = std::vector<std::string>;
    EXPECT_EQ(ProgramFiles::tagArrayFromString(" b , a,b,B ,a"), (Tags{"a", "b", "B"}));
    EXPECT_EQ(ProgramFiles::tagArrayFromString("x,,  ,y,"), (Tags{"x", "y"}));
    EXPECT_EQ(ProgramFiles::tagArrayFromString(""), Tags{});
    // Only blanks are trimmed.
    EXPECT_EQ(ProgramFiles::tagArrayFromString("\ta"), Tags{"\ta"});
}

} // namespace
} // namespace orvenda::test

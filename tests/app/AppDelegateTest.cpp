#include "app/AppDelegate.h"

#include "AppTestSupport.h"
#include "apps/CSVImport.h"
#include "core/services/CSVLoader.h"
#include "core/services/TIFileIO.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

namespace orvenda::test {
namespace {

// The root controller: the error numbers it was asked to show.
class ReportingView : public FakeView {
public:
    std::vector<int> reports;
    void VCShowError(const nlohmann::json& error) override { reports.push_back(error.at("errorNum").get<int>()); }
};

// A launch of the app on a data folder, with a calculator of its own.
struct Launch {
    explicit Launch(const QString& folder)
        : delegate(calc, folder)
    {
        calc.viewDelegate = view;
    }
    EntryModel& entry() { return *std::dynamic_pointer_cast<EntryModel>(calc.entryManager); }
    HistoryModel& history() { return *std::dynamic_pointer_cast<HistoryModel>(calc.historyManager); }

    NotificationCenter bus;
    Calculator calc{kUS, bus};
    std::shared_ptr<ReportingView> view = std::make_shared<ReportingView>();
    AppDelegate delegate;
};

TEST(AppDelegate, ASessionIsWhereTheLastOneLeftOff)
{
    QTemporaryDir dir;
    nlohmann::json history;
    {
        Launch first(dir.path());
        EXPECT_TRUE(first.calc.firstTime);
        EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath(StateFile::kFileName)))
            << "the factory state is registered, never written";
        first.calc.vars[0] = {5, 0};
        Operand record = operandOf(KindReal);
        first.history().addEntry({0x35, 0x04, 0x41}, "5", 0, record);
        first.entry().startNewEntry();
        for (std::uint32_t op : {0x32, 0x70, 0x33})
            first.entry().addOpcode(op, false);
        history = first.history().encode();
        first.delegate.applicationWillResignActive();
    }
    Launch second(dir.path());
    EXPECT_EQ(second.entry().text(), "2+3");
    EXPECT_EQ(second.calc.vars[0], std::complex<double>(5, 0));
    EXPECT_EQ(second.history().encode(), history);
    EXPECT_FALSE(second.entry().canUndo());
    EXPECT_EQ(second.delegate.takeStartupReport(), std::nullopt);
}

TEST(AppDelegate, ADamagedStateStartsFromTheFactoryAndSaysSoOnce)
{
    QTemporaryDir dir;
    QFile file(QDir(dir.path()).filePath(StateFile::kFileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xA1\x63ver\x65three and more");
    file.close();
    Launch launch(dir.path());
    EXPECT_TRUE(launch.calc.firstTime);
    EXPECT_EQ(launch.calc.vars[0], std::complex<double>(0, 0));
    ASSERT_TRUE(launch.delegate.takeStartupReport());
    EXPECT_EQ(launch.delegate.takeStartupReport(), std::nullopt);
    EXPECT_EQ(QDir(dir.path()).entryList({"memorySetting.damaged-*"}, QDir::Files).size(), 1);
}

TEST(AppDelegate, LeavingPutsTheLastResultOnTheClipboard)
{
    QTemporaryDir dir;
    Launch launch(dir.path());
    QGuiApplication::clipboard()->setText("kept");
    launch.delegate.applicationWillResignActive();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept") << "an empty history leaves the clipboard alone";
    Operand record = operandOf(KindReal);
    launch.history().addEntry({0x31}, "0.25", 0, record);
    launch.delegate.applicationWillResignActive();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "0.25");
}

TEST(AppDelegate, EveryFileHandedOverGivesOneReport)
{
    QTemporaryDir dir;
    auto write = [&](const char* name, const QByteArray& data) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
        return file.fileName();
    };
    // Lists read as the app reads them; a variable file that fails to load.
    CSVLoader::setLoader(&CSVImport::loadCSV);
    TIFileIO::setFactory([](const std::vector<std::uint8_t>&) { return std::make_unique<FakeTIFile>(1); });
    struct Case {
        QString path;
        int report;
        int posts;
    };
    const Case cases[] = {
        {write("l.csv", "1,2,3"), 80, 1},
        {write("a.txt", "1,2,3"), 73, 0},
        {write("b.csv", "1,\xFF\xFE"), 74, 0},
        {dir.filePath("missing.csv"), 74, 0},
        {write("DATA.CSV", "SPEED,4"), 80, 1},
        {write("c.csv", "oops"), 85, 1},
        {write("v.8Xp", "**TI83F* damaged"), 74, 1},
    };
    for (const Case& c : cases) {
        Launch launch(dir.filePath("data"));
        Posted posted(launch.bus, {VQProgramFileAdded});
        launch.delegate.openFiles({c.path});
        EXPECT_EQ(launch.view->reports, std::vector<int>{c.report}) << c.path.toStdString();
        EXPECT_EQ(posted.count(VQProgramFileAdded), c.posts) << c.path.toStdString();
    }
    TIFileIO::setFactory(nullptr);

    Launch launch(dir.filePath("data"));
    launch.delegate.openFiles({dir.filePath("l.csv"), dir.filePath("DATA.CSV")});
    EXPECT_EQ(launch.view->reports, (std::vector<int>{80, 80}));
    EXPECT_EQ(launch.calc.lists.at("L1").realList(), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(launch.calc.lists.at("SPEED").realList(), (std::vector<double>{4}));
    CSVLoader::setLoader(nullptr);
}

} // namespace
} // namespace orvenda::test

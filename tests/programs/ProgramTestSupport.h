#pragma once

// The program manager over a folder of its own, with a calculator whose errors are kept.

#include "core/Calculator.h"
#include "language/EntryText.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramModel.h"

#include "TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace orvenda::test {

// Typed program text as tokens (new lines stay line breaks).
inline Ops programOps(const std::string& text)
{
    static const EntryText entry;
    std::string bad;
    auto ops = entry.toOps(text, bad);
    EXPECT_TRUE(ops) << "no token for " << bad;
    return ops ? *ops : Ops{};
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class ProgramModelTest : public ::testing::Test {
protected:
    ProgramModelTest()
        : calc(kUS), files(std::make_shared<ProgramFiles>(folder.path() + QStringLiteral("/programs"))),
          model(std::make_shared<ProgramModel>(calc, files))
    {
        calc.viewDelegate = view;
        calc.prgmManager = model;
    }
    ~ProgramModelTest() override { calc.viewDelegate = nullptr; }

    QString path(const std::string& name) const { return files->folder() + "/" + QString::fromStdString(name); }
    // A program with these lines, opened in the editor.
    void open(const std::string& name, const std::string& text)
    {
        ASSERT_TRUE(model->storeProgram(name, programOps(text)));
        model->loadProgram(name);
    }
    const Ops& ops() const { return model->program().array(); }
    std::vector<int> indents() const
    {
        std::vector<int> out;
        for (int n = 0; n < model->numLines(); ++n)
            out.push_back(model->indentForLine(n));
        return out;
    }
    std::vector<int> errorNumbers() const
    {
        std::vector<int> out;
        for (const auto& error : view->errors)
            out.push_back(error.value("errorNum", 0));
        return out;
    }
    // A program of n opcodes, opened in the editor (a file, read back).
    void openLong(const std::string& name, int n)
    {
        ASSERT_TRUE(model->storeProgram(name, Ops(static_cast<std::size_t>(n), 'A')));
        model->loadProgram(name);
        ASSERT_EQ(model->program().length(), n);
    }

    QTemporaryDir folder;
    Calculator calc;
    std::shared_ptr<FakeView> view = std::make_shared<FakeView>();
    std::shared_ptr<ProgramFiles> files;
    std::shared_ptr<ProgramModel> model;
};

} // namespace orvenda::test

#include "base/cfgcenter.h"
#include "base/errorhandler.h"
#include "tests/hostbase/itestmodule.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

class ModuleLoaderTest : public ::testing::Test
{
protected:
    void SetUp() override { qputenv("KVT_MODULE_DIR", TEST_MODULE_DIR); }
    void TearDown() override { qunsetenv("KVT_MODULE_DIR"); }
};

TEST_F(ModuleLoaderTest, LoadsByWindowsFileNameAndConvertsToTheModuleInterface)
{
    IDllInstance* first = CfgCenter::CreateDllInstanceByFileName(QStringLiteral("TestModule.dll"), QStringLiteral("one"), false, false);
    IDllInstance* second = CfgCenter::CreateDllInstanceByFileName(QStringLiteral("C:/bin/TestModule.DLL"), QStringLiteral("two"), false, false);
    auto* module = dynamic_cast<ITestModule*>(first);
    ASSERT_NE(module, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(module->GetText(), QStringLiteral("one"));
    CfgCenter::DestroyDllInstanceByPointer(first);
    EXPECT_EQ(dynamic_cast<ITestModule*>(second)->GetText(), QStringLiteral("two"));
    CfgCenter::DestroyDllInstanceByPointer(second);
    CfgCenter::DestroyDllInstanceByPointer(second);
    CfgCenter::DestroyDllInstanceByPointer(nullptr);
}

TEST_F(ModuleLoaderTest, FailuresGiveNullAndATrace)
{
    QStringList lines;
    ErrorHandler::Instance().SetTraceMask(ErrorHandler::TRACE_BIT);
    ErrorHandler::Instance().SetSink([&lines](const QString& line) { lines << line; });

    EXPECT_EQ(CfgCenter::CreateDllInstanceByFileName(QStringLiteral("TestModule.dll"), QStringLiteral("fail"), false, false), nullptr);
    EXPECT_EQ(CfgCenter::CreateDllInstanceByFileName(QStringLiteral("Missing.dll"), QString(), false, false), nullptr);
    EXPECT_EQ(CfgCenter::CreateDllInstanceByFileName(QStringLiteral(".dll"), QString(), false, false), nullptr);
    QTemporaryDir dir;
    QFile broken(dir.filePath(QStringLiteral("libBroken.so")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a shared object");
    broken.close();
    qputenv("KVT_MODULE_DIR", dir.path().toUtf8());
    EXPECT_EQ(CfgCenter::CreateDllInstanceByFileName(QStringLiteral("Broken.dll"), QString(), false, false), nullptr);

    ErrorHandler::Instance().ResetSink();
    ErrorHandler::Instance().SetTraceMask(0);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines.at(0).contains(QStringLiteral("the module made no instance")));
    EXPECT_TRUE(lines.at(1).contains(QStringLiteral("WARNING: module 'Missing.dll' not loaded")));
}

} // namespace

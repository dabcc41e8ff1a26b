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

    static IDllInstance* Create(const QString& fileName, const QString& text = QString())
    {
        return CfgCenter::CreateDllInstanceByFileName(fileName, text, false, false);
    }
};

TEST_F(ModuleLoaderTest, LoadsByWindowsFileNameAndConvertsToTheModuleInterface)
{
    IDllInstance* first = Create("TestModule.dll", "one");
    IDllInstance* second = Create("C:/bin/TestModule.DLL", "two");
    auto* module = dynamic_cast<ITestModule*>(first);
    ASSERT_NE(module, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(module->GetText(), "one");
    CfgCenter::DestroyDllInstanceByPointer(first);
    EXPECT_EQ(dynamic_cast<ITestModule*>(second)->GetText(), "two") << "the module stays loaded";
    CfgCenter::DestroyDllInstanceByPointer(second);
    CfgCenter::DestroyDllInstanceByPointer(second);
    CfgCenter::DestroyDllInstanceByPointer(nullptr);
}

TEST_F(ModuleLoaderTest, ModulesAreLookedForBesideTheHostLibraryUnlessTheEnvironmentSaysOtherwise)
{
    EXPECT_EQ(CfgCenter::ModuleDirectory(), TEST_MODULE_DIR);
    qunsetenv("KVT_MODULE_DIR");
    EXPECT_EQ(CfgCenter::ModuleDirectory(), HOST_MODULE_DIR);
}

TEST_F(ModuleLoaderTest, FailuresGiveNullAndATrace)
{
    QStringList lines;
    ErrorHandler::Instance().SetTraceMask(ErrorHandler::TRACE_BIT);
    ErrorHandler::Instance().SetSink([&lines](const QString& line) { lines << line; });
    EXPECT_EQ(Create("TestModule.dll", "fail"), nullptr);
    EXPECT_EQ(Create("Missing.dll"), nullptr);
    QTemporaryDir dir;
    QFile broken(dir.filePath("libBroken.so"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a shared object");
    broken.close();
    qputenv("KVT_MODULE_DIR", dir.path().toUtf8());
    EXPECT_EQ(Create("Broken.dll"), nullptr);
    ErrorHandler::Instance().ResetSink();
    ErrorHandler::Instance().SetTraceMask(0);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines.at(0).contains("the module made no instance"));
    EXPECT_TRUE(lines.at(1).contains("WARNING: module 'Missing.dll' not loaded"));
}

}

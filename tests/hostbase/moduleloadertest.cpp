#include "base/cfgcenter.h"
#include "base/errorhandler.h"
#include "tests/common/configdirfixture.h"
#include "tests/hostbase/itestmodule.h"

#include <QFile>
#include <QTemporaryDir>

namespace
{

class ModuleLoaderTest : public ConfigDirFixture
{
protected:
    void SetUp() override
    {
        ConfigDirFixture::SetUp();
        qputenv("KVT_MODULE_DIR", TEST_MODULE_DIR);
    }

    void TearDown() override
    {
        qunsetenv("KVT_MODULE_DIR");
        ConfigDirFixture::TearDown();
    }

    static IDllInstance* Create(const QString& fileName, const QString& text = QString())
    {
        return CfgCenter::CreateDllInstanceByFileName(fileName, text, false, false);
    }

    // Writes the first bytes of source (all with -1) to file in the scratch directory.
    void WriteModule(const QString& file, const QString& source, qint64 bytes = -1)
    {
        QFile in(source);
        QFile out(m_modules.filePath(file));
        ASSERT_TRUE(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
        const QByteArray content = in.readAll();
        ASSERT_EQ(out.write(bytes < 0 ? content : content.left(bytes)), bytes < 0 ? content.size() : bytes);
    }

    QTemporaryDir m_modules;
};

TEST_F(ModuleLoaderTest, LoadsByWindowsFileNameAndConvertsToTheModuleInterface)
{
    IDllInstance* first = Create("TestModule.dll", "one");
    IDllInstance* second = Create("C:/bin/TestModule.DLL", "two");
    IDllInstance* third = Create("C:\\bin\\TestModule.dll", "three");
    auto* module = dynamic_cast<ITestModule*>(first);
    ASSERT_NE(module, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(module->GetText(), "one");
    CfgCenter::DestroyDllInstanceByPointer(first);
    EXPECT_EQ(dynamic_cast<ITestModule*>(second)->GetText(), "two") << "the module stays loaded";
    CfgCenter::DestroyDllInstanceByPointer(second);
    CfgCenter::DestroyDllInstanceByPointer(second);
    CfgCenter::DestroyDllInstanceByPointer(nullptr);
    CfgCenter::DestroyDllInstanceByPointer(third);
}

TEST_F(ModuleLoaderTest, ModulesAreLookedForBesideTheHostLibraryUnlessTheEnvironmentSaysOtherwise)
{
    EXPECT_EQ(CfgCenter::ModuleDirectory(), TEST_MODULE_DIR);
    qunsetenv("KVT_MODULE_DIR");
    EXPECT_EQ(CfgCenter::ModuleDirectory(), HOST_MODULE_DIR);
}

// Each of these crashed the host or let an exception escape before; now
// each gives null and one trace line that names the reason.
TEST_F(ModuleLoaderTest, FailuresGiveNullAndATrace)
{
    // Cut inside the code: the ELF header and program headers of a shared
    // object lie in its first page, the code behind it.
    WriteModule("libTruncated.so", TEST_MODULE_FILE, 4096);
    WriteModule("libHeaderOnly.so", TEST_MODULE_FILE, 80);
    WriteModule("Program.so", HOSTBASE_HELPER);
    WriteModule("libForeign.so", TEST_MODULE_FILE);
    QFile foreign(m_modules.filePath("libForeign.so"));
    char elfClass = 0; // 1 for 32-bit, 2 for 64-bit objects: made the other one
    ASSERT_TRUE(foreign.open(QIODevice::ReadWrite) && foreign.seek(4) && foreign.getChar(&elfClass)
                && foreign.seek(4) && foreign.putChar(static_cast<char>(3 - elfClass)));
    foreign.close();
    QFile text(m_modules.filePath("libText.so"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a shared object");
    text.close();

    const struct
    {
        const char* directory;
        const char* file;
        const char* text;
        const char* reason;
    } cases[] = {
        {TEST_MODULE_DIR, "TestModule.dll", "fail", "the module made no instance"},
        {TEST_MODULE_DIR, "TestModule.dll", "throw", "the factory threw: cannot start"},
        {TEST_MODULE_DIR, "NoFactoryModule.dll", "", "no factory KvtCreateDllInstance"},
        {TEST_MODULE_DIR, "C:\\bin\\Missing.dll", "", "WARNING: module 'C:\\bin\\Missing.dll' not loaded: no module file"},
        {nullptr, "Truncated.dll", "", "a segment lies outside the file"},
        {nullptr, "HeaderOnly.dll", "", "the program headers lie outside the file"},
        {nullptr, "Text.dll", "", "not an ELF file"},
        {nullptr, "Foreign.dll", "", "not a shared object for this platform"},
        {nullptr, "Program.dll", "", "Program.so"},
    };
    ErrorHandler::Instance().SetTraceMask(ErrorHandler::TRACE_BIT);
    for (const auto& c : cases) {
        QStringList lines;
        ErrorHandler::Instance().SetSink([&lines](const QString& line) { lines << line; });
        qputenv("KVT_MODULE_DIR", c.directory ? QByteArray(c.directory) : m_modules.path().toUtf8());
        EXPECT_EQ(Create(c.file, c.text), nullptr) << c.file;
        ASSERT_EQ(lines.size(), 1) << c.file;
        EXPECT_TRUE(lines.at(0).contains(c.reason)) << lines.at(0).toStdString();
    }
    ErrorHandler::Instance().ResetSink();
    ErrorHandler::Instance().SetTraceMask(0);
}

// An instance that releases another one from its destructor, both when it is
// released itself and when it is still alive at process exit.
TEST_F(ModuleLoaderTest, InstanceReleasingAnotherFromItsDestructor)
{
    IDllInstance* owner = Create("TestModule.dll", "owner");
    ASSERT_NE(owner, nullptr);
    CfgCenter::DestroyDllInstanceByPointer(owner);

    QProcess& helper = RunHelper(HOSTBASE_HELPER, {"keepmodule"});
    EXPECT_EQ(helper.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(helper.exitCode(), 0) << helper.readAllStandardError().toStdString();
}

}

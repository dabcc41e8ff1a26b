#include "base/cfgcenter.h"
#include "base/errorhandler.h"
#include "tests/common/configdirfixture.h"
#include "tests/common/openfileslimit.h"
#include "tests/hostbase/itestmodule.h"

#include <QFile>
#include <QTemporaryDir>

#include <link.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <optional>

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

    // Writes TestModule to file with value put over its bytes at offset.
    template<typename T>
    void WritePatchedModule(const QString& file, qint64 offset, T value)
    {
        WriteModule(file, TEST_MODULE_FILE);
        QFile out(m_modules.filePath(file));
        ASSERT_TRUE(out.open(QIODevice::ReadWrite) && out.seek(offset));
        ASSERT_EQ(out.write(reinterpret_cast<const char*>(&value), sizeof value), qint64(sizeof value));
    }

    QTemporaryDir m_modules;
};

TEST_F(ModuleLoaderTest, LoadsByWindowsFileNameAndConvertsToTheModuleInterface)
{
    IDllInstance* first = Create("TestModule.dll", "one");
    IDllInstance* second = Create("C:/bin/TestModule.DLL", "two");
    IDllInstance* third = Create("C:\\bin\\TestModule", "three");
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
    // Damaged headers: the other word size, an executable, a wrong table entry size, a table far away.
    WritePatchedModule("libForeign.so", EI_CLASS, quint8(sizeof(void*) == 8 ? ELFCLASS32 : ELFCLASS64));
    WritePatchedModule("libExecutable.so", offsetof(ElfW(Ehdr), e_type), ElfW(Half)(ET_EXEC));
    WritePatchedModule("libEntrySize.so", offsetof(ElfW(Ehdr), e_phentsize), ElfW(Half)(1));
    WritePatchedModule("libFarTable.so", offsetof(ElfW(Ehdr), e_phoff), ElfW(Off)(1) << 40);
    // Not ELF: too short for its header, and long enough.
    for (const auto& text : {std::make_pair("libText.so", QByteArray("not a shared object")),
                             std::make_pair("libScript.so", "#!/bin/sh\n" + QByteArray(100, '#'))}) {
        QFile file(m_modules.filePath(text.first));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text.second) == text.second.size());
    }

    const struct
    {
        const char* directory;
        const char* file;
        const char* text;
        const char* reason;
    } cases[] = {
        {TEST_MODULE_DIR, "TestModule.dll", "fail", "the module made no instance"},
        {TEST_MODULE_DIR, "TestModule.dll", "throw", "the factory threw: cannot start"},
        {TEST_MODULE_DIR, "TestModule.dll", "throw int", "the factory threw"},
        {TEST_MODULE_DIR, "NoFactoryModule.dll", "", "no factory KvtCreateDllInstance"},
        {TEST_MODULE_DIR, "C:\\bin\\Missing.dll", "", "WARNING: module 'C:\\bin\\Missing.dll' not loaded: no module file"},
        {TEST_MODULE_DIR, "C:/bin/.dll", "", "no module file"},
        {nullptr, "Truncated.dll", "", "a segment lies outside the file"},
        {nullptr, "HeaderOnly.dll", "", "the program headers lie outside the file"},
        {nullptr, "Text.dll", "", "not an ELF file"},
        {nullptr, "Script.dll", "", "not an ELF file"},
        {nullptr, "Foreign.dll", "", "not a shared object for this platform"},
        {nullptr, "Executable.dll", "", "not a shared object for this platform"},
        {nullptr, "EntrySize.dll", "", "the program headers lie outside the file"},
        {nullptr, "FarTable.dll", "", "the program headers lie outside the file"},
        {nullptr, "Program.dll", "", "Program.so"},
    };
    ErrorHandler::Instance().SetTraceMask(ErrorHandler::TRACE_BIT);
    // Directory null for the scratch one; nFileHandles is how many more files the process may open (-1: any number).
    const auto expectFailure = [this](const char* directory, const char* file, const char* text, const QString& reason,
                                      int nFileHandles) {
        QStringList lines;
        ErrorHandler::Instance().SetSink([&lines](const QString& line) { lines << line; });
        qputenv("KVT_MODULE_DIR", directory ? QByteArray(directory) : m_modules.path().toUtf8());
        {
            std::optional<OpenFilesLimit> limit;
            if (nFileHandles >= 0)
                limit.emplace(nFileHandles);
            EXPECT_EQ(Create(file, text), nullptr) << file;
        }
        ASSERT_EQ(lines.size(), 1) << file;
        EXPECT_TRUE(lines.at(0).contains(reason)) << lines.at(0).toStdString();
    };
    for (const auto& c : cases)
        expectFailure(c.directory, c.file, c.text, c.reason, -1);
    // Out of file handles, as a process that leaks them is.
    expectFailure(TEST_MODULE_DIR, "TestModule.dll", "", "cannot read the file: " + qt_error_string(EMFILE), 0);
    ErrorHandler::Instance().ResetSink();
    ErrorHandler::Instance().SetTraceMask(0);
}

// Tools that rewrite program headers leave unused (PT_NULL) slots behind,
// whatever they held: the module still loads.
TEST_F(ModuleLoaderTest, UnusedProgramHeaderSlotsAreIgnored)
{
    QFile original(TEST_MODULE_FILE);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    const auto* header = reinterpret_cast<const ElfW(Ehdr)*>(bytes.constData());
    const auto* segments = reinterpret_cast<const ElfW(Phdr)*>(bytes.constData() + header->e_phoff);
    const auto* note = std::find_if(segments, segments + header->e_phnum,
                                    [](const ElfW(Phdr)& segment) { return segment.p_type == PT_NOTE; });
    ASSERT_NE(note, segments + header->e_phnum);
    ElfW(Phdr) unused = *note;
    unused.p_type = PT_NULL;
    unused.p_offset = ElfW(Off)(1) << 40;
    WritePatchedModule("libUnusedSlot.so", header->e_phoff + (note - segments) * sizeof unused, unused);

    qputenv("KVT_MODULE_DIR", m_modules.path().toUtf8());
    IDllInstance* instance = Create("UnusedSlot.dll", "loaded");
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(dynamic_cast<ITestModule*>(instance)->GetText(), "loaded");
    CfgCenter::DestroyDllInstanceByPointer(instance);
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

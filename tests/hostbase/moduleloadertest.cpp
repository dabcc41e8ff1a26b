#include "base/cfgcenter.h"
#include "tests/common/configdirfixture.h"
#include "tests/common/filecontent.h"
#include "tests/common/openfileslimit.h"
#include "tests/common/tracelog.h"
#include "tests/hostbase/itestmodule.h"

#include <QFile>
#include <QTemporaryDir>

#include <dlfcn.h>
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

    // Writes to file in the scratch directory.
    void Write(const QString& file, const QByteArray& content)
    {
        ASSERT_TRUE(WriteFile(m_modules.filePath(file), content)) << file.toStdString();
    }

    // Writes TestModule to file with value put over its bytes at offset.
    template<typename T>
    void WritePatchedModule(const QString& file, qint64 offset, T value)
    {
        const QByteArray patch(reinterpret_cast<const char*>(&value), sizeof value);
        Write(file, ReadFile(TEST_MODULE_FILE).replace(int(offset), patch.size(), patch));
    }

    QTemporaryDir m_modules;
};

TEST_F(ModuleLoaderTest, LoadsByWindowsFileNameAndConvertsToTheModuleInterface)
{
    IDllInstance* first = Create("TestModule.dll", "one");
    IDllInstance* second = Create("C:/bin/TestModule.DLL", "two");
    IDllInstance* third = Create("C:\\bin\\TestModule", "three");
    auto* module = dynamic_cast<ITestModule*>(first);
    ASSERT_TRUE(module && second && third);
    EXPECT_EQ(module->GetText(), "one");
    CfgCenter::DestroyDllInstanceByPointer(first);
    EXPECT_EQ(dynamic_cast<ITestModule*>(second)->GetText(), "two") << "the module stays loaded";
    CfgCenter::DestroyDllInstanceByPointer(second);
    CfgCenter::DestroyDllInstanceByPointer(second);
    CfgCenter::DestroyDllInstanceByPointer(nullptr);
    CfgCenter::DestroyDllInstanceByPointer(third);
}

// What a module started may outlive its instance (a host-name lookup of Qt
// Network, which the module pulled in, still connected to the application
// object): the code stays loaded until the process ends.
TEST_F(ModuleLoaderTest, AReleasedInstancesModuleStaysLoadedUntilExit)
{
    IDllInstance* instance = Create("TestModule.dll", "released");
    ASSERT_NE(instance, nullptr);
    CfgCenter::DestroyDllInstanceByPointer(instance);
    void* const handle = dlopen(TEST_MODULE_FILE, RTLD_NOW | RTLD_NOLOAD);
    EXPECT_NE(handle, nullptr);
    if (handle != nullptr)
        dlclose(handle);
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
    Write("libTruncated.so", ReadFile(TEST_MODULE_FILE).left(4096));
    Write("Program.so", ReadFile(HOSTBASE_HELPER));
    // Damaged headers: the other word size, an executable, a wrong table entry size, a table far away.
    WritePatchedModule("libForeign.so", EI_CLASS, quint8(sizeof(void*) == 8 ? ELFCLASS32 : ELFCLASS64));
    WritePatchedModule("libExecutable.so", offsetof(ElfW(Ehdr), e_type), ElfW(Half)(ET_EXEC));
    WritePatchedModule("libEntrySize.so", offsetof(ElfW(Ehdr), e_phentsize), ElfW(Half)(1));
    WritePatchedModule("libFarTable.so", offsetof(ElfW(Ehdr), e_phoff), ElfW(Off)(1) << 40);
    // Not ELF: too short for its header, and long enough.
    Write("libText.so", "not a shared object");
    Write("libScript.so", "#!/bin/sh\n" + QByteArray(100, '#'));

    // Directory null for the scratch one; nFileHandles is how many more files
    // the process may open (-1: any number).
    const struct
    {
        const char* directory;
        const char* file;
        const char* text;
        QString reason;
        int nFileHandles;
    } cases[] = {
        {TEST_MODULE_DIR, "TestModule.dll", "fail", "the module made no instance", -1},
        {TEST_MODULE_DIR, "TestModule.dll", "throw", "the factory threw: cannot start", -1},
        {TEST_MODULE_DIR, "TestModule.dll", "throw int", "the factory threw", -1},
        {TEST_MODULE_DIR, "NoFactoryModule.dll", "", "no factory KvtCreateDllInstance", -1},
        {TEST_MODULE_DIR, "C:\\bin\\Missing.dll", "", "WARNING: module 'C:\\bin\\Missing.dll' not loaded: no module file", -1},
        {TEST_MODULE_DIR, "C:/bin/.dll", "", "no module file", -1},
        // Out of file handles, as a process that leaks them is.
        {TEST_MODULE_DIR, "TestModule.dll", "", "cannot read the file: " + qt_error_string(EMFILE), 0},
        {nullptr, "Truncated.dll", "", "a segment lies outside the file", -1},
        {nullptr, "Text.dll", "", "not an ELF file", -1},
        {nullptr, "Script.dll", "", "not an ELF file", -1},
        {nullptr, "Foreign.dll", "", "not a shared object for this platform", -1},
        {nullptr, "Executable.dll", "", "not a shared object for this platform", -1},
        {nullptr, "EntrySize.dll", "", "the program headers lie outside the file", -1},
        {nullptr, "FarTable.dll", "", "the program headers lie outside the file", -1},
        {nullptr, "Program.dll", "", "Program.so", -1},
    };
    for (const auto& c : cases) {
        const TraceLog traces(ErrorHandler::TRACE_BIT);
        qputenv("KVT_MODULE_DIR", c.directory ? QByteArray(c.directory) : m_modules.path().toUtf8());
        {
            std::optional<OpenFilesLimit> limit;
            if (c.nFileHandles >= 0)
                limit.emplace(c.nFileHandles);
            EXPECT_EQ(Create(c.file, c.text), nullptr) << c.file;
        }
        ASSERT_EQ(traces.m_lstLines.size(), 1) << c.file;
        EXPECT_TRUE(traces.Contains(c.reason)) << traces.m_lstLines.at(0).toStdString();
    }
}

// Tools that rewrite program headers leave unused (PT_NULL) slots behind,
// whatever they held: the module still loads.
TEST_F(ModuleLoaderTest, UnusedProgramHeaderSlotsAreIgnored)
{
    const QByteArray bytes = ReadFile(TEST_MODULE_FILE);
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

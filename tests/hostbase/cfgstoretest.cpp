#include "tests/common/configdirfixture.h"
#include "tests/common/filecontent.h"
#include "tests/common/filesizelimit.h"
#include "tests/common/openfileslimit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gmock/gmock.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <thread>

namespace
{

using testing::AllOf;
using testing::HasSubstr;

/// Collects the texts of qWarning while it lives.
class WarningLog
{
public:
    WarningLog()
    {
        s_strText.clear();
        m_previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            s_strText += type == QtWarningMsg ? text + QLatin1Char('\n') : QString();
        });
    }
    ~WarningLog() { qInstallMessageHandler(m_previous); }
    WarningLog(const WarningLog&) = delete;
    WarningLog& operator=(const WarningLog&) = delete;
    std::string Text() const { return s_strText.toStdString(); }

private:
    static inline QString s_strText;
    QtMessageHandler m_previous = nullptr;
};

/// The lock of a file taken as another process takes it: on a descriptor of
/// its own, so that it excludes this process's saves as well.
class ForeignLock
{
public:
    explicit ForeignLock(const QString& path)
        : m_path(QFile::encodeName(path))
    {
    }
    ~ForeignLock() { Unlock(); }
    ForeignLock(const ForeignLock&) = delete;
    ForeignLock& operator=(const ForeignLock&) = delete;

    bool TryLock()
    {
        m_fd = ::open(m_path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        Unlock();
        return false;
    }
    void Unlock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    QByteArray m_path;
    int m_fd = -1;
};

bool Symlink(const QString& target, const QString& link)
{
    QFile::remove(link);
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
}

class CfgStoreTest : public ConfigDirFixture
{
protected:
    void TearDown() override
    {
        CfgCenter::SetFreeSpaceForTesting(-1);
        ConfigDirFixture::TearDown();
    }

    static std::unique_ptr<ICfg> Open(const QString& section = QString())
    {
        std::unique_ptr<ICfg> pCfg(CfgCenter::CreateCfg(QStringLiteral("Shared"), ICfg::User, QString()));
        return section.isEmpty() ? std::move(pCfg) : std::unique_ptr<ICfg>(pCfg->GetSubCfg(section, ICfg::User));
    }

    QString FilePath() const { return m_dir.filePath("user/Shared.ini"); }

    static void Write(const QString& path, const QByteArray& bytes)
    {
        ASSERT_TRUE(WriteFile(path, bytes)) << path.toStdString();
    }
};

// Until the last handle is released nothing is written; then everything at
// once. Callers tell an absent key from a stored one by reading it with two
// defaults.
TEST_F(CfgStoreTest, HandlesShareChangesAndTheLastReleaseSavesThem)
{
    {
        auto cfg = Open();
        auto nested = Open("SystemConfiguration/Antenna0");
        std::unique_ptr<ICfg> inner(Open("SystemConfiguration")->GetSubCfg("//Antenna0/", ICfg::User));
        nested->SetString("Name", "DF1", 0);
        EXPECT_EQ(inner->GetString("Name", QString(), 0), "DF1");
        inner->SetInt("Count", 7, 0);
        EXPECT_EQ(cfg->GetSubCfg("//", ICfg::User), nullptr);
        EXPECT_EQ(CfgCenter::CreateCfg(QString(), ICfg::User, QString()), nullptr);
        EXPECT_NE(cfg->GetBool("Valid", false, 0), cfg->GetBool("Valid", true, 0));
        cfg->SetBool("Valid", false, 0);
        cfg->SetString("Port", "12ab", 0);
        EXPECT_EQ(cfg->GetInt("Port", 3, 0), 3) << "unreadable number";
        cfg->SetString(QString(), "ignored", 0);
        cfg->SetReadOnly("Port", true, 0);
        cfg->SetReadOnly("Missing", true, 0);
        EXPECT_FALSE(cfg->IsReadOnly("Missing"));
        EXPECT_FALSE(cfg->RemoveKey("Missing"));
        cfg->SetInt("Port", -4500, 0);
        EXPECT_FALSE(QFile::exists(FilePath())) << "handles still open";
    }
    EXPECT_TRUE(ReadFile(FilePath()).contains("[SystemConfiguration/Antenna0]\nCount=7\nName=DF1\n")) << "human-readable";
    auto cfg = Open();
    EXPECT_EQ(cfg->GetBool("Valid", false, 0), cfg->GetBool("Valid", true, 0));
    EXPECT_EQ(cfg->GetInt("Port", 1, 0), -4500);
    EXPECT_TRUE(cfg->IsReadOnly("Port")) << "kept across a write";
    EXPECT_EQ(cfg->GetKeys(), (QStringList{"Port", "Valid"}));
    cfg->SetReadOnly("Port", false, 0);
    EXPECT_FALSE(cfg->IsReadOnly("Port"));
}

TEST_F(CfgStoreTest, OddNamesAndValuesSurviveTheFile)
{
    const QStringList keys = {"a=b", "[x]", "!lead", " spaced out ", "semi;colon#", "new\nline", "Gr\u00FC\u00DFe%41",
                              "back\\slash/x", "surrogates", "del\x7F"};
    const QStringList values = {" lead and trail ", "line1\nline2\r\n", "c:\\dir\\s\\n", "=;#[!]", "\t\x01", QString(),
                                "\u00A0nbsp\u00A0", "\\",
                                // Found by fuzz_inifile: half pairs were lost in the file.
                                QString(QChar(0xDDDD)) + "x\U0001F600" + QChar(0xD800) + "y" + QChar(0xDC00) + QChar(0xD800),
                                "del\x7F"};
    const QString section = "Odd]Name/x=y;z/ [q] ";
    for (int i = 0; i < keys.size(); ++i)
        Open(section)->SetString(keys.at(i), values.at(i), 0);
    CfgCenter::Reset();
    auto odd = Open(section);
    EXPECT_EQ(odd->GetKeys().size(), keys.size());
    for (int i = 0; i < keys.size(); ++i)
        EXPECT_EQ(odd->GetString(keys.at(i), "<absent>", 0), values.at(i)) << i;
    EXPECT_EQ(Open()->GetSubCfgNames(), QStringList{"Odd]Name"});
}

// NULs and half surrogate pairs in key, section and configuration names come
// back exactly, without taking another name's place.
TEST_F(CfgStoreTest, NamesWithNulsAndHalfPairsComeBackExactly)
{
    const QChar high(0xD83D), low(0xDE00);
    const QStringList names = {QString::fromLatin1("nul\0inside", 11), QString(1, QChar(0)), QString("x") + high,
                               QString("x") + low, QString(high) + "x" + low, QString(low) + high,
                               QString("x") + high + low, QString("x") + QChar(0xFFFD), "x?"};
    for (const QString& name : names) {
        std::unique_ptr<ICfg>(CfgCenter::CreateCfg(name, ICfg::User, QString()))->SetString(name, "file", 0);
        Open(name)->SetString(name, "section", 0);
        Open()->SetString(name, "key", 0);
    }
    CfgCenter::Reset();
    EXPECT_EQ(QDir(m_dir.filePath("user")).entryList(QDir::Files).size(), names.size() + 1);
    EXPECT_EQ(Open()->GetKeys().size(), names.size());
    EXPECT_EQ(Open()->GetSubCfgNames().size(), names.size());
    for (const QString& name : names) {
        const std::string trace = name.toUtf8().toHex().toStdString();
        const std::unique_ptr<ICfg> file(CfgCenter::CreateCfg(name, ICfg::User, QString()));
        EXPECT_EQ(file->GetKeys(), QStringList{name}) << trace;
        EXPECT_EQ(Open(name)->GetString(name, QString(), 0), "section") << trace;
        EXPECT_EQ(Open()->GetString(name, QString(), 0), "key") << trace;
    }
}

TEST_F(CfgStoreTest, FilePerNameAndViewAndTheAppConfigurationSavedByTheEventLoop)
{
    CfgCenter::GetAppCfg(ICfg::Station).SetInt("Count", 1, 0);
    std::unique_ptr<ICfg> odd(CfgCenter::CreateCfg("../x", ICfg::View(9), QString()));
    EXPECT_EQ(odd->GetFileName(), m_dir.filePath("view9/%2E.%2Fx.ini"));
    std::unique_ptr<ICfg> mixed(CfgCenter::CreateCfg("Ger\u00E4t_2-B b~@[", ICfg::Default, QString()));
    EXPECT_EQ(mixed->GetFileName(), m_dir.filePath("default/Ger%C3%A4t_2-B b%7E%40%5B.ini"));

    // The application configuration is never released: the event loop saves it.
    EXPECT_FALSE(QFile::exists(m_dir.filePath("station/Application.ini")));
    QCoreApplication::processEvents();
    EXPECT_TRUE(ReadFile(m_dir.filePath("station/Application.ini")).contains("\nCount=1\n"));
    // A save still scheduled when Reset drops the configuration finds nothing to do.
    CfgCenter::GetAppCfg(ICfg::Station).SetInt("Count", 2, 0);
    CfgCenter::Reset();
    QCoreApplication::processEvents();
    EXPECT_TRUE(ReadFile(m_dir.filePath("station/Application.ini")).contains("\nCount=2\n"));
    // Used from another thread, the store leaves the application's event loop alone.
    std::thread([] { CfgCenter::GetAppCfg(ICfg::Application).SetInt("Worker", 1, 0); }).join();
    QCoreApplication::processEvents();
    EXPECT_FALSE(QFile::exists(m_dir.filePath("application/Application.ini")));
    // The end of a process that never returns to an event loop saves, too.
    EXPECT_EQ(RunHelper(HOSTBASE_HELPER, {"app", "-", "Direct", "at exit"}).exitCode(), 0);
    EXPECT_TRUE(ReadFile(m_dir.filePath("user/Application.ini")).contains("\nDirect=at exit\n"));

    // Without KVT_CONFIG_DIR the files go to the user's configuration folder.
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    qunsetenv("KVT_CONFIG_DIR");
    qputenv("XDG_CONFIG_HOME", m_dir.filePath("home").toUtf8());
    EXPECT_EQ(CfgCenter::ConfigDirectory(), m_dir.filePath("home/kvtcommon"));
    configHome.isEmpty() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", configHome);
}

// Removals made here meet what another process wrote meanwhile: only the
// removed keys go, and a section left without keys goes with them at once.
TEST_F(CfgStoreTest, RemovalsApplyToWhatAnotherProcessWrote)
{
    {
        auto cfg = Open();
        Open("S")->SetString("Gone", "1", 0);
        Open("S")->SetString("Kept", "1", 0);
        Open("S/T")->SetString("Only", "1", 0);
        Open("Sibling")->SetString("Key", "1", 0);
    }
    {
        auto s = Open("S");
        EXPECT_EQ(s->GetSubCfgNames(), QStringList{"T"}) << "not \"Sibling\"";
        EXPECT_TRUE(s->RemoveKey("Gone"));
        EXPECT_TRUE(Open("S/T")->RemoveKey("Only"));
        EXPECT_TRUE(s->GetSubCfgNames().isEmpty());
        // Set and removed before any save: it never reaches the file.
        s->SetString("Brief", "1", 0);
        EXPECT_TRUE(s->RemoveKey("Brief"));
        Open("U")->SetString("Brief", "1", 0);
        EXPECT_TRUE(Open("U")->RemoveKey("Brief"));
        EXPECT_FALSE(Open("U")->RemoveKey("Brief"));
        EXPECT_EQ(RunHelper(HOSTBASE_HELPER, {"set", "S", "Other", "child"}).exitCode(), 0);
    }
    const QByteArray file = ReadFile(FilePath());
    EXPECT_TRUE(file.contains("[S]\nKept=1\nOther=child\n")) << file.toStdString();
    EXPECT_FALSE(file.contains("Only=") || file.contains("Gone=") || file.contains("Brief=")) << file.toStdString();
    CfgCenter::Reset();
    EXPECT_EQ(Open()->GetSubCfgNames(), (QStringList{"S", "Sibling"}));
    EXPECT_TRUE(Open("S")->GetSubCfgNames().isEmpty());
}

// A file-size limit kills the helper in the middle of a save (SIGXFSZ): the
// previous file stays byte for byte. A limit that only fails the write is
// among the save failures below.
TEST_F(CfgStoreTest, FileSizeLimitKeepsThePreviousFile)
{
    Open()->SetString("Before", "intact", 0);
    const QByteArray before = ReadFile(FilePath());
    const QString limit = QString::number(before.size() + 100);
    EXPECT_EQ(RunHelper(HOSTBASE_HELPER, {"flood", "S", "Big", limit}).exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(ReadFile(FilePath()), before);
    // Neither the lock file that the killed helper left behind nor the copy
    // that a save killed before renaming it leaves stays; files that only
    // look alike stay.
    Write(FilePath() + ".kvtsave-Q1w2E3", before + "Big=complete\n");
    const QStringList others = {"Shared.ini.backup", "Shared.ini.locked", "Shared.ini.kvtsave-AbC12",
                                "Shared.ini.kvtsave-Ab-123", "Other.ini.kvtsave-AbC123"};
    for (const QString& other : others)
        Write(m_dir.filePath("user/" + other), "Key=other\n");
    WarningLog warnings;
    Open("S")->SetString("After", "saved", 0);
    EXPECT_TRUE(ReadFile(FilePath()).contains("\nAfter=saved\n"));
    EXPECT_THAT(warnings.Text(), HasSubstr("its unfinished copy 'Shared.ini.kvtsave-Q1w2E3' was removed"));
    QStringList left = QDir(m_dir.filePath("user")).entryList(QDir::Files);
    QStringList expected = others + QStringList{"Shared.ini"};
    left.sort();
    expected.sort();
    EXPECT_EQ(left, expected);

    // The new content keeps the mode the file had.
    const QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(FilePath(), mode));
    Open("S")->SetString("After", "again", 0);
    EXPECT_TRUE(ReadFile(FilePath()).contains("\nAfter=again\n"));
    EXPECT_EQ(QFileInfo(FilePath()).permissions() & 0x7077, mode); // owner, group, others
}

// Saves that fail on the way to the file: each is reported and keeps the
// change pending and the file as it was, without keeping another file from
// being saved. NAME_MAX (255) leaves no room for the lock file "<file>.lock"
// of a 255-character file name, nor for the temporary file "<file>.kvtsave-XXXXXX"
// that replaces an existing one of 250 characters.
TEST_F(CfgStoreTest, SaveFailuresOnTheWayToTheFileKeepTheChangePending)
{
    ASSERT_TRUE(QFile(m_dir.filePath("default")).open(QIODevice::WriteOnly)) << "a file where a view folder belongs";
    Write(m_dir.filePath("user/" + QString(246, 'T') + ".ini"), "Key=old\n");
    Write(m_dir.filePath("user/Full.ini"), "Key=old\n");
    // Faults lifted before the retry: how many more files the process may
    // open, a file size quota (with the lock taken before) and a full disk.
    const struct
    {
        QString name;
        ICfg::View view;
        int nFileHandles;
        qint64 nFileSize;
        qint64 nFreeSpace;
        QString reason;
    } cases[] = {
        {"Blocked", ICfg::Default, -1, -1, -1, "its folder cannot be created"},
        {QString(251, 'L'), ICfg::User, -1, -1, -1, "its lock file cannot be created"},
        {QString(246, 'T'), ICfg::User, -1, -1, -1, QString()}, // Qt names no reason
        // One for the lock file, none for the new file (nor for reading the other file).
        {"New", ICfg::User, 1, -1, -1, qt_error_string(EMFILE)},
        {"Quota", ICfg::User, -1, 0, -1, qt_error_string(EFBIG)},
        {"Full", ICfg::User, -1, -1, 10, "only part of its"},
    };
    for (const auto& c : cases) {
        const std::string name = c.name.left(10).toStdString();
        WarningLog warnings;
        std::unique_ptr<ICfg> failing(CfgCenter::CreateCfg(c.name, c.view, QString()));
        std::unique_ptr<ICfg> other(CfgCenter::CreateCfg("Other", ICfg::Station, QString()));
        const QByteArray before = ReadFile(failing->GetFileName());
        failing->SetString("Key", "pending", 0);
        other->SetString("Reason", c.reason, 0);
        const bool bFaultLifted = c.nFileHandles >= 0 || c.nFileSize >= 0 || c.nFreeSpace >= 0;
        CfgCenter::SetFreeSpaceForTesting(c.nFreeSpace);
        {
            std::optional<OpenFilesLimit> handles;
            std::optional<FileSizeLimit> quota;
            if (c.nFileHandles >= 0)
                handles.emplace(c.nFileHandles);
            if (c.nFileSize >= 0 && CfgCenter::LockForUpdate(*failing))
                quota.emplace(c.nFileSize);
            EXPECT_FALSE(CfgCenter::Flush()) << name;
        }
        CfgCenter::SetFreeSpaceForTesting(-1);
        EXPECT_THAT(warnings.Text(), HasSubstr("could not be written: " + c.reason.toStdString()));
        EXPECT_EQ(failing->GetString("Key", QString(), 0), "pending") << name;
        EXPECT_EQ(ReadFile(failing->GetFileName()), before) << name;
        if (!bFaultLifted) {
            EXPECT_TRUE(ReadFile(other->GetFileName()).contains(("Reason=" + c.reason).toUtf8())) << name;
        }
        failing.reset();
        other.reset();
        EXPECT_EQ(CfgCenter::Flush(), bFaultLifted) << "retried: " << name;
        CfgCenter::Reset();
    }
}

// LockForUpdate holds the lock until the next save, also when nothing
// changes. A save waits 10 s for a lock that a live process holds, then fails
// (naming the holder) and keeps the change pending; the lock ends with its
// holder, however it ends. Meanwhile an unfinished copy of the file may be
// the holder's save in progress: only the next holder removes it.
TEST_F(CfgStoreTest, LocksAreHeldForAChangeSetAndWaitedForTenSecondsAtMost)
{
    ForeignLock elsewhere(FilePath() + ".lock");
    {
        auto cfg = Open();
        ASSERT_TRUE(CfgCenter::LockForUpdate(*cfg));
        EXPECT_FALSE(elsewhere.TryLock());
    }
    ASSERT_TRUE(elsewhere.TryLock()) << "released with the last handle, although nothing changed";
    elsewhere.Unlock();

    QProcess holder;
    holder.start(HOSTBASE_HELPER, {"hold", "S", "-", "-"});
    ASSERT_TRUE(holder.waitForReadyRead(60000));
    ASSERT_EQ(holder.readAllStandardOutput(), "locked\n");
    Write(FilePath() + ".kvtsave-XyZ789", "Key=in progress\n");
    WarningLog warnings;
    Open()->SetString("Key", "waits", 0);
    EXPECT_THAT(warnings.Text(), HasSubstr("could not be written: another process holds its lock file (process "
                                           + std::to_string(holder.processId()) + ")"));
    EXPECT_FALSE(QFile::exists(FilePath()));
    EXPECT_TRUE(QFile::exists(FilePath() + ".kvtsave-XyZ789"));
    ::kill(pid_t(holder.processId()), SIGKILL);
    ASSERT_TRUE(holder.waitForFinished(60000));
    EXPECT_TRUE(CfgCenter::Flush());
    EXPECT_TRUE(ReadFile(FilePath()).contains("\nKey=waits\n"));
    EXPECT_FALSE(QFile::exists(FilePath() + ".kvtsave-XyZ789"));
}

// A process killed at any step of taking the lock leaves at most a lock file
// that nobody holds (empty, when it was killed right after creating it): the
// next save takes the lock at once instead of failing after its 10 s wait.
TEST_F(CfgStoreTest, AProcessKilledWhileTakingTheLockBlocksNoLaterSave)
{
    const QString lockFile = FilePath() + ".lock";
    for (int step = 0; step <= 3; ++step) {
        QProcess& killed = RunHelper(HOSTBASE_HELPER, {"killat", "S", "Killed", QString::number(step)});
        EXPECT_EQ(killed.exitStatus(), QProcess::CrashExit) << step;
        EXPECT_EQ(QFileInfo::exists(lockFile), step > 0) << step;
        if (step == 1) {
            EXPECT_EQ(QFileInfo(lockFile).size(), 0);
        }
        if (step == 3) {
            EXPECT_GT(ReadFile(lockFile).trimmed().toLongLong(), 0) << "the holder's process id";
        }
        WarningLog warnings;
        Open("S")->SetInt("Saved", step, 0);
        EXPECT_EQ(warnings.Text(), "") << step;
        EXPECT_TRUE(ReadFile(FilePath()).contains("Saved=" + QByteArray::number(step))) << step;
        EXPECT_FALSE(ReadFile(FilePath()).contains("Killed")) << step;
        EXPECT_FALSE(QFileInfo::exists(lockFile)) << "removed with its release: " << step;
        CfgCenter::Reset();
    }
}

// Only the lines of changed keys are written anew; new ones end like the file's lines.
TEST_F(CfgStoreTest, WhatTheStoreDoesNotUnderstandSurvivesByteForByte)
{
    QByteArray odd = "\xEF\xBB\xBF; hand-edited\r\nTop=1\r\n[Odd]\r\nLatin=Gr\xFC\xDF" "e\r\nNul=a";
    odd += '\0';
    odd += "b\r\nno equals sign here\r\nDup=first\r\nDup=second\r\n\r\n";
    const QByteArray touchedBefore = "[Touched]\r\nKeep=\xFF\xFE raw\r\nChange=old\r\nDrop=1\r\n# comment\r\nLast=no line end";
    Write(FilePath(), odd + touchedBefore);
    {
        auto untouched = Open("Odd");
        EXPECT_EQ(untouched->GetString("Nul", QString(), 0), QString::fromUtf8("a\0b", 3));
        EXPECT_EQ(untouched->GetString("Dup", QString(), 0), "second");
        untouched->SetString("Dup", "second", 0);
        auto touched = Open("Touched");
        touched->SetString("Change", "new", 0);
        touched->RemoveKey("Drop");
        touched->SetString("Zed", "x", 0);
        Open("New")->SetString("K", "v", 0);
        Open()->SetString("Top", "1", 0);
    }
    const QByteArray touchedAfter = "[Touched]\r\nKeep=\xFF\xFE raw\r\nChange=new\r\n# comment\r\nLast=no line end\r\nZed=x\r\n";
    EXPECT_EQ(ReadFile(FilePath()), QByteArray(odd).insert(odd.indexOf("[Odd]"), "[New]\r\nK=v\r\n\r\n") + touchedAfter);
}

// Hand-edited files: how a key reads, and the whole file after it is changed.
TEST_F(CfgStoreTest, HandEditedFilesAreReadAsMeantAndChangedInPlace)
{
    const struct
    {
        const char* before;
        const char* section;
        const char* key;
        const char* read;
        const char* after;
    } cases[] = {
        // A last line without a line end (and a backslash at the end of the value) keeps having none.
        {"Top=1\nLast=end\\", "", "Last", "end\\", "Top=1\nLast=new"},
        // A header without "]" is no header; escapes that are none stay as written.
        {"[broken\nEsc=\\uzzzz \\u1\n", "", "Esc", "uzzzz u1", "[broken\nEsc=new\n"},
        // A header without a line end gets one when a key follows.
        {"[S]", "S", "Key", "", "[S]\nKey=new\n"},
        // The last line of a key counts; a change goes to the first, the others go.
        {"[S]\nKey=first\nX=1\nKey=second\n", "S", "Key", "second", "[S]\nKey=new\nX=1\n"},
        // A new key goes into the last block of its section, before its blank lines.
        {"[S]\nA=1\n[T]\nB=1\n[S]\nC=1\n\n[U]\n", "S", "Key", "", "[S]\nA=1\n[T]\nB=1\n[S]\nC=1\nKey=new\n\n[U]\n"},
        {"\n \n\n[S]\n", "", "Key", "", "Key=new\n\n \n\n[S]\n"},
        // Found by fuzz_inifile: a "%2F" in a header made a section with an empty name no one could reach.
        {"[%2Fx ]\nKey=v\n", "x", "Key", "v", "[%2Fx ]\nKey=new\n"},
        {"[a%2F%2Fb/]\nKey=w\n", "a/b", "Key", "w", "[a%2F%2Fb/]\nKey=new\n"},
    };
    for (const auto& c : cases) {
        Write(FilePath(), c.before);
        {
            auto cfg = Open(c.section);
            EXPECT_EQ(cfg->GetString(c.key, QString(), 0), c.read) << c.before;
            cfg->SetString(c.key, "new", 0);
        }
        EXPECT_EQ(ReadFile(FilePath()), c.after) << c.before;
    }
}

// A file that cannot be read, or is no regular file, is never replaced:
// found so at opening, its configuration is read-only for the session;
// becoming so while open, it fails the save.
TEST_F(CfgStoreTest, UnreadableOrSpecialFilesAreNeverReplaced)
{
    QTemporaryDir outside;
    const QString outsideFile = outside.filePath("outside.ini");
    Write(outsideFile, "Key=outside\n");
    Write(m_dir.filePath("real/inside.ini"), "Key=inside\n");
    Write(m_dir.filePath("big.ini"), QByteArray());
    ASSERT_TRUE(QFile::resize(m_dir.filePath("big.ini"), qint64(65) << 20));
    // 1.7 MB of sections whose bookkeeping would take more than 64 MiB.
    QByteArray manyKeys;
    for (int i = 0; i < 140000; ++i)
        manyKeys += "[" + QByteArray::number(100000 + i) + "]\nk=\n";
    Write(m_dir.filePath("many.ini"), manyKeys);
    ASSERT_EQ(mkfifo(m_dir.filePath("fifo").toLocal8Bit().constData(), 0600), 0);
    QDir().mkpath(m_dir.filePath("user"));
    QDir().mkpath(m_dir.filePath("chain"));
    const auto Chain = [&](int nLinks) {
        bool ok = true;
        for (int i = 0; i < nLinks; ++i)
            ok = Symlink(QString::number(i + 1), m_dir.filePath("chain/" + QString::number(i))) && ok;
        return Symlink(m_dir.filePath("real/inside.ini"), m_dir.filePath("chain/" + QString::number(nLinks))) && ok;
    };
    ASSERT_TRUE(Chain(37)); // with the link to its start 39 links
    ASSERT_TRUE(Symlink(m_dir.filePath("chain/0"), m_dir.filePath("user/Near.ini")));
    const std::unique_ptr<ICfg> nearCfg(CfgCenter::CreateCfg("Near", ICfg::User, QString()));
    EXPECT_EQ(nearCfg->GetString("Key", QString(), 0), "inside") << "a chain the system follows is read";

    // What is put at the file's place, the reason reported and the value read when it is so at opening.
    const struct
    {
        std::function<bool()> setUp;
        const char* reason;
        const char* read;
    } cases[] = {
        {[&] { return QDir().mkpath(FilePath()); }, "it is not a regular file", ""},
        {[&] { return QFile::link(m_dir.filePath("fifo"), FilePath()); }, "it is not a regular file", ""},
        {[&] { return QFile::link(outsideFile, FilePath()); }, "outside the configuration directory", "outside"},
        {[&] { return QFile::link(m_dir.filePath("big.ini"), FilePath()); }, "it is larger than 64 MiB", ""},
        {[&] { return QFile::link(m_dir.filePath("many.ini"), FilePath()); },
         "it holds so many keys or sections for its size that reading it would take more than 64 MiB of memory", ""},
        {[&] { return QFile::link(m_dir.filePath("missing.ini"), FilePath()); }, "it is a symbolic link to nothing", ""},
        {[&] { return Symlink("Shared.ini", FilePath()); }, "it is a symbolic link in a loop", ""},
        {[&] { return Symlink("Shared.ini", m_dir.filePath("user/Pair.ini")) && Symlink("Pair.ini", FilePath()); },
         "it is a symbolic link in a loop", ""},
        // Linux follows at most 40 links; this is 43.
        {[&] { return Chain(41) && Symlink(m_dir.filePath("chain/0"), FilePath()); }, "in a chain too long to follow",
         ""},
    };
    const auto kind = [this] { return std::make_pair(QFileInfo(FilePath()).isSymLink(), QFileInfo(FilePath()).isDir()); };
    for (const bool bWhileOpen : {false, true}) {
        for (size_t i = 0; i < std::size(cases); ++i) {
            const std::string trace = std::to_string(i) + (bWhileOpen ? " while open" : " at opening");
            if (bWhileOpen)
                Write(FilePath(), "Key=before\n");
            else
                ASSERT_TRUE(cases[i].setUp()) << trace;
            WarningLog warnings;
            auto cfg = Open();
            EXPECT_EQ(cfg->GetString("Key", QString(), 0), bWhileOpen ? "before" : cases[i].read) << trace;
            EXPECT_EQ(CfgCenter::LockForUpdate(*cfg), bWhileOpen) << trace;
            cfg->SetString("Key", "changed", 0);
            if (bWhileOpen) {
                ASSERT_TRUE(QFile::remove(FilePath()) && cases[i].setUp()) << trace;
            }
            const auto before = kind();
            cfg.reset();
            EXPECT_FALSE(CfgCenter::Flush()) << trace;
            const QString what = bWhileOpen ? "could not be written: " : "is read-only in this session: ";
            EXPECT_THAT(warnings.Text(), AllOf(HasSubstr("Shared.ini' " + what.toStdString()), HasSubstr(cases[i].reason)))
                << trace;
            CfgCenter::Reset();
            EXPECT_EQ(kind(), before) << trace;
            if (!QFile::remove(FilePath()))
                QDir(FilePath()).removeRecursively();
        }
    }
    EXPECT_EQ(ReadFile(outsideFile), "Key=outside\n");
    EXPECT_EQ(QFileInfo(m_dir.filePath("big.ini")).size(), qint64(65) << 20);
    EXPECT_EQ(ReadFile(m_dir.filePath("many.ini")), manyKeys);

    // A file that fails to read, as on a damaged disk (this one fails at its first byte).
    ASSERT_TRUE(QFile::link("/proc/self/mem", FilePath()));
    {
        WarningLog warnings;
        Open()->SetString("Key", "changed", 0);
        EXPECT_FALSE(CfgCenter::Flush());
        EXPECT_THAT(warnings.Text(), HasSubstr("is read-only in this session: " + qt_error_string(EIO).toStdString()));
        CfgCenter::Reset();
    }
    ASSERT_TRUE(QFile::remove(FilePath()));

    // A link to a regular file inside the configuration directory is written through.
    ASSERT_TRUE(QFile::link(m_dir.filePath("real/inside.ini"), FilePath()));
    EXPECT_EQ(Open()->GetString("Key", QString(), 0), "inside");
    Open()->SetString("Key", "changed", 0);
    EXPECT_TRUE(QFileInfo(FilePath()).isSymLink());
    EXPECT_EQ(ReadFile(m_dir.filePath("real/inside.ini")), "Key=changed\n");
}

// Each process saves a change set of 20 keys at a time, 50 times, while the
// other does the same.
TEST_F(CfgStoreTest, TwoProcessesWritingAtOnceLoseNothing)
{
    m_helper.start(HOSTBASE_HELPER, {"many", "Many", "child", "1000"});
    ASSERT_TRUE(m_helper.waitForStarted());
    for (int i = 0; i < 1000; i += 20) {
        const auto many = Open("Many");
        for (int k = i; k < i + 20; ++k)
            many->SetInt(QStringLiteral("parent%1").arg(k), k, 0);
    }
    ASSERT_TRUE(m_helper.waitForFinished(300000));
    EXPECT_EQ(m_helper.exitCode(), 0);

    CfgCenter::Reset();
    const auto many = Open("Many");
    int nLost = 0;
    for (int k = 0; k < 1000; ++k) {
        for (const char* writer : {"parent", "child"})
            nLost += many->GetInt(writer + QString::number(k), -1, 0) != k;
    }
    EXPECT_EQ(nLost, 0);
}

// A header and a value of megabytes (their reading time grows linearly with
// their length, see cfgstorebench).
TEST_F(CfgStoreTest, LongLinesSurvive)
{
    const QString name(2 << 20, QLatin1Char('h')), value(4 << 20, QLatin1Char('v'));
    Open(name)->SetString("Key", value, 0);
    CfgCenter::Reset();
    EXPECT_TRUE(Open(name)->GetString("Key", QString(), 0) == value);
}

}

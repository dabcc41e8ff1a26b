#include "base/datetime.h"
#include "base/omekos.h"
#include "devicecontrol/directionfinder/kvtcommon/commandprotocol.h"
#include "tests/common/filecontent.h"
#include "tests/common/filesizelimit.h"
#include "tests/common/qstringprinter.h"
#include "tests/common/timezoneguard.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

namespace
{

const QString LOG_FILE = QStringLiteral("KVTControl/commandlog-dev.txt");
const QString TIME = QStringLiteral("^\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d:\\t");
const QString HEADER = QStringLiteral("T\tDF-Address: dev\tdesc\n\n");
const QString NOTE = QStringLiteral(" >>>>>>>>>> PROTOCOL FILE REACHED MAXIMUM SIZE - THIS IS A CONTINUATION FILE\n\n");

/// Runs every test in its own current directory, with a clock that starts at
/// 2024-03-05 07:08:09.045 UTC and advances by one millisecond per reading,
/// so that backup names are known and never collide.
class CommandProtocolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
        OmekOS::SetTimeSource([this] { return m_nNow++; });
    }

    void TearDown() override
    {
        OmekOS::SetTimeSource(nullptr);
        QDir::setCurrent(m_strPreviousDir);
    }

    /// Backup paths, ordered by name (and so by the time in the name).
    static QStringList Backups()
    {
        return QDir("KVTControl").entryList({"*.bak"}, QDir::Files, QDir::Name).replaceInStrings(QRegularExpression("^"), "KVTControl/");
    }

    /// The name the next backup of the log gets.
    QString NextBackup() const
    {
        return LOG_FILE + "-" + Omek::DateTime(m_nNow).toString("yyyy-MM-dd_hh-mm-ss-z") + ".bak";
    }

    /// The file's content with every entry's time of day replaced by "T".
    static QString Entries(const QString& fileName)
    {
        return QString::fromLatin1(ReadFile(fileName)).replace(QRegularExpression(TIME, QRegularExpression::MultilineOption), "T\t");
    }

    QTemporaryDir m_dir;
    const QString m_strPreviousDir = QDir::currentPath();
    quint64 m_nNow = QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9, 45), Qt::UTC).toMSecsSinceEpoch();
};

TEST_F(CommandProtocolTest, InitBacksUpThePreviousLogUnderLocalTimeAndWritesAHeader)
{
    const TimeZoneGuard zone("KVT-5:30");
    CommandProtocol log("10.1.2.3:5555*\"x\"", "KVT device");
    ASSERT_TRUE(log.Init()) << log.GetMessageText().toStdString();
    const QString strFile = "KVTControl/commandlog-10.1.2.3_5555__x_.txt";
    EXPECT_EQ(Backups(), QStringList{strFile + "-2024-03-05_12-38-09-45.bak"});
    EXPECT_TRUE(log.Add("first\nsecond"));
    const QTime entryTime = QTime::fromString(QString::fromLatin1(ReadFile(strFile).left(12)), "hh:mm:ss:zzz");
    const int nApart = std::abs(entryTime.msecsTo(QTime::currentTime()));
    EXPECT_LT(std::min(nApart, 24 * 3600 * 1000 - nApart), 60 * 1000) << "local time of day";
    const QString strHeader = "T\tDF-Address: 10.1.2.3:5555*\"x\"\tKVT device\n\n";
    EXPECT_EQ(Entries(strFile), strHeader + "T\tfirst\nsecond\n");

    // Init on a running log backs the open file up whole; a backup made in the
    // same millisecond replaces the earlier one rather than blocking the rotation.
    m_nNow -= 1;
    ASSERT_TRUE(log.Init());
    ASSERT_EQ(Backups().size(), 1);
    EXPECT_EQ(Entries(Backups().at(0)), strHeader + "T\tfirst\nsecond\n");
    EXPECT_EQ(Entries(strFile), strHeader);
}

TEST_F(CommandProtocolTest, XmlIsIndentedAndEveryOtherTextLoggedAsGiven)
{
    CommandProtocol log("dev", "desc");
    ASSERT_TRUE(log.Init());
    ASSERT_TRUE(log.Add("<?xml version=\"1.0\"?><cmd><freq unit=\"Hz\">1e6</freq></cmd>"));
    ASSERT_TRUE(log.Add("<?xml version=\"1.0\"?><cmd><unclosed></cmd>"));
    ASSERT_TRUE(log.Add(QString::fromUtf8("reply \u20ac ?xml version= <a>")));
    EXPECT_EQ(Entries(LOG_FILE), HEADER + "T\t<?xml version='1.0'?>\n<cmd>\n    <freq unit=\"Hz\">1e6</freq>\n</cmd>\n\n"
                                          "T\t<?xml version=\"1.0\"?><cmd><unclosed></cmd>\n"
                                          "T\treply ? ?xml version= <a>\n");

    // Every Latin-1 character, NUL and line ends included, over a megabyte.
    QString strBinary;
    for (int i = 0; i < 256; ++i)
        strBinary += QChar(i);
    strBinary = strBinary.repeated(4096);
    ASSERT_TRUE(log.Add(strBinary));
    ASSERT_TRUE(log.Add("<?xml version=\"1.0\"?>" + strBinary));
    const QByteArray content = ReadFile(LOG_FILE);
    EXPECT_TRUE(content.contains(":\t" + strBinary.toLatin1() + "\n"));
    EXPECT_TRUE(content.endsWith(":\t<?xml version=\"1.0\"?>" + strBinary.toLatin1() + "\n"));
}

TEST_F(CommandProtocolTest, FileBeyondTheLimitContinuesInANewFileAndTwentyBackupsAreKept)
{
    CommandProtocol log("dev", "desc");
    log.SetMaxBytes(0);
    ASSERT_TRUE(log.Init());
    for (const char* text : {"one", "two", "three"})
        ASSERT_TRUE(log.Add(text));
    const QStringList lstBackups = Backups();
    ASSERT_EQ(lstBackups.size(), 4);
    EXPECT_EQ(Entries(lstBackups.at(0)), "");
    EXPECT_EQ(Entries(lstBackups.at(1)), HEADER);
    const QString strContinuation = "T\t" + NOTE + "\n" + HEADER;
    EXPECT_EQ(Entries(lstBackups.at(2)), strContinuation + "T\tone\n");
    EXPECT_EQ(Entries(lstBackups.at(3)), strContinuation + "T\ttwo\n");
    EXPECT_EQ(Entries(LOG_FILE), strContinuation + "T\tthree\n");

    // Age decides, not the name: the oldest file has the newest-looking name.
    for (int i = 0; i < 15; ++i)
    {
        QFile file(QStringLiteral("KVTControl/zz-%1.bak").arg(i));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addDays(-1).addSecs(-i), QFileDevice::FileModificationTime));
    }
    ASSERT_TRUE(log.Add("19 backups before, 20 after"));
    EXPECT_EQ(Backups().size(), 20);
    ASSERT_TRUE(log.Add("20 backups before and after"));
    EXPECT_EQ(Backups().size(), 20);
    EXPECT_FALSE(Backups().contains("KVTControl/zz-14.bak"));
}

// Adds that succeed are each found exactly once across the current file and
// the backups, also when writes fail in between (file size limit) and the log
// carries on without a new Init; failed ones are found nowhere and leave a message.
TEST_F(CommandProtocolTest, EveryAcceptedEntryIsInExactlyOneFile)
{
    CommandProtocol log("dev", "desc");
    log.SetMaxBytes(2000);
    ASSERT_TRUE(log.Init());
    std::map<int, bool> mapAccepted;
    for (int i = 0; i < 600; ++i)
    {
        const QString strText = QStringLiteral("command %1 ").arg(i) + QString(i % 7, QLatin1Char('x'));
        // Now and then room for none, part or all of the entry.
        const std::unique_ptr<FileSizeLimit> pLimit(
            i % 100 < 90 ? nullptr : std::make_unique<FileSizeLimit>(QFileInfo(LOG_FILE).size() + i % 10 * 5));
        mapAccepted[i] = log.Add(strText);
        if (!mapAccepted[i])
        {
            EXPECT_EQ(log.GetMessageText(), "CommandProtocol: Writing commandfile " + LOG_FILE + " failed.") << i;
        }
    }

    const QStringList lstFiles = Backups() << LOG_FILE;
    ASSERT_LE(lstFiles.size(), CommandProtocol::BACKUPS_KEPT) << "no backup may have been deleted";
    std::map<int, int> mapFound;
    for (const QString& strFile : lstFiles)
    {
        const QString strContent = QString::fromLatin1(ReadFile(strFile));
        EXPECT_TRUE(strContent.isEmpty() || strContent.endsWith("\n")) << "a cut-off entry in " << strFile.toStdString();
        auto matches = QRegularExpression(TIME + "command (\\d+) x*\\n", QRegularExpression::MultilineOption).globalMatch(strContent);
        while (matches.hasNext())
            ++mapFound[matches.next().captured(1).toInt()];
    }
    int nRejected = 0;
    for (const auto& [i, bAccepted] : mapAccepted)
    {
        EXPECT_EQ(mapFound[i], bAccepted ? 1 : 0) << i;
        nRejected += bAccepted ? 0 : 1;
    }
    EXPECT_GT(nRejected, 0);
}

// Init and a rotation stop at their first failed step; what that step wrote
// in part is cut off again, what the steps before it did stays done. The next
// Init starts afresh.
TEST_F(CommandProtocolTest, InitAndRotationStopAtTheFirstFailedStepAndTheNextInitRecovers)
{
    CommandProtocol log("dev", "desc");
    const QString strWriteFailed = "CommandProtocol: Writing commandfile " + LOG_FILE + " failed.";
    const QString strBlocked = NextBackup();
    ASSERT_TRUE(QDir().mkpath(strBlocked + "/inside"));
    EXPECT_FALSE(log.Init());
    EXPECT_EQ(log.GetMessageText(), "CommandProtocol::BackupFile: renaming <" + LOG_FILE + "> to <" + strBlocked + "> failed.");
    EXPECT_FALSE(log.Add("rejected"));
    {
        const FileSizeLimit limit(0);
        EXPECT_FALSE(log.Init());
    }
    EXPECT_EQ(log.GetMessageText(), strWriteFailed);
    EXPECT_EQ(Backups().size(), 1);
    EXPECT_EQ(Entries(LOG_FILE), "");

    // Rotations whose continuation note, or header after it, finds no room.
    ASSERT_TRUE(log.Init());
    log.SetMaxBytes(0);
    {
        const FileSizeLimit limit(0);
        EXPECT_FALSE(log.Add("rejected"));
    }
    EXPECT_EQ(log.GetMessageText(), strWriteFailed);
    EXPECT_EQ(Entries(Backups().last()), HEADER);
    EXPECT_EQ(Entries(LOG_FILE), "");
    // The continuation file stays open, though without note and header.
    EXPECT_TRUE(log.Add("kept"));
    {
        const FileSizeLimit limit(QByteArray("hh:mm:ss:zzz:\t\n").size() + NOTE.size() + 5);
        EXPECT_FALSE(log.Add("rejected"));
    }
    EXPECT_EQ(log.GetMessageText(), strWriteFailed);
    EXPECT_EQ(Entries(Backups().last()), "T\tkept\n");
    EXPECT_EQ(Entries(LOG_FILE), "T\t" + NOTE + "\n");

    // A rotation of a log file that was deleted behind the log's back.
    ASSERT_TRUE(QFile::remove(LOG_FILE));
    EXPECT_FALSE(log.Add("rejected"));
    EXPECT_EQ(log.GetMessageText(), "CommandProtocol::BackupFile: file <" + LOG_FILE + "> does not exist.");
    EXPECT_FALSE(log.Add("rejected"));
    EXPECT_EQ(log.GetMessageText(), "CommandProtocol::Add: m_pCurrentFile == NULL");

    // A new address counts from the next open on: the next rotation backs up
    // the old file, then cannot open one below a directory that does not exist.
    ASSERT_TRUE(log.Init());
    log.SetDeviceAddress("dev/2");
    EXPECT_FALSE(log.Add("rejected"));
    EXPECT_EQ(log.GetMessageText(), "CommandProtocol: Could not open file KVTControl/commandlog-dev/2.txt.");
    EXPECT_FALSE(QFile::exists(LOG_FILE));
    EXPECT_EQ(Entries(Backups().last()), HEADER);
    log.SetDeviceAddress("other");
    log.SetMaxBytes(CommandProtocol::DEFAULT_MAX_BYTES);
    ASSERT_TRUE(log.Init());
    EXPECT_EQ(log.GetMessageText(), QString());
    EXPECT_TRUE(log.Add("after"));
    EXPECT_EQ(Entries("KVTControl/commandlog-other.txt"), "T\tDF-Address: other\tdesc\n\nT\tafter\n");
}

} // namespace

// Command texts as drivers hand them to the command log, XML documents
// ("?xml version=") included, which the log re-indents. The first byte sets
// the size limit (so rotation into backups happens too), the rest is the
// text. Properties: no crash; Add succeeds; the file then ends with an entry
// "hh:mm:ss:zzz:<TAB>..." ending in a line feed, and a text that is no XML
// document appears in it unchanged (as Latin-1).
#include "devicecontrol/directionfinder/kvtcommon/commandprotocol.h"
#include "fuzz/fuzzsupport.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The log lives below the current directory: the run's own scratch one,
    // left again at the end, since libFuzzer keeps its corpus by relative path.
    static const QString s_strStart = QDir::currentPath();
    const Fuzz::ConfigDir configDir;
    FUZZ_CHECK(QDir::setCurrent(configDir.Path()));
    const QString text = Fuzz::Text(data + 1, size - 1);

    CommandProtocol log(QStringLiteral("10.0.0.1:5555"), QStringLiteral("fuzz"));
    log.SetMaxBytes(data[0]);
    FUZZ_CHECK(log.Init());
    FUZZ_CHECK(log.Add(text));
    FUZZ_CHECK(log.Add(text));

    QFile file(QStringLiteral("KVTControl/commandlog-10.0.0.1_5555.txt"));
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    FUZZ_CHECK(content.endsWith('\n'));
    static const QRegularExpression s_entry(QStringLiteral("(^|\\n)\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d:\\t"));
    FUZZ_CHECK(QString::fromLatin1(content).contains(s_entry));
    QDomDocument document;
    const bool xml = text.contains(QLatin1String("?xml version=")) && document.setContent(text.toLatin1());
    if (!xml)
        FUZZ_CHECK(content.endsWith(":\t" + text.toLatin1() + '\n'));
    FUZZ_CHECK(QDir::setCurrent(s_strStart));
    return 0;
}

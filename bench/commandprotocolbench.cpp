#include "devicecontrol/directionfinder/kvtcommon/commandprotocol.h"
#include "devicecontrol/directionfinder/kvtcommon/xmlindent.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <spdlog/logger.h>
#include <spdlog/sinks/rotating_file_sink.h>

#include <memory>

// The command log against spdlog's rotating file sink under the same policy:
// one line per text, local time of day with milliseconds in front, the file
// flushed after every entry, rotation at 1 MB with 20 backups kept. Each run
// works in a fresh temporary directory, so both write to the same file system.

namespace
{

const std::size_t MAX_BYTES = 1000000;
const std::size_t BACKUPS = 20;

const QString PLAIN_TEXT = QStringLiteral("FREQ 145.500000 MHz; DFBW 25 kHz; MODE FFM; AVG 3");
const QString XML_TEXT = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><command id=\"4711\"><tune><frequency unit=\"Hz\">145500000"
    "</frequency><bandwidth unit=\"Hz\">25000</bandwidth></tune><df method=\"CI\" averaging=\"3\"/>"
    "<antenna name=\"HR469SR\" polarisation=\"vertical\"/></command>");

// A temporary directory that is the current directory while it exists.
class WorkDirectory
{
public:
    WorkDirectory()
        : m_strPrevious(QDir::currentPath())
    {
        QDir::setCurrent(m_dir.path());
    }
    ~WorkDirectory() { QDir::setCurrent(m_strPrevious); }
    WorkDirectory(const WorkDirectory&) = delete;
    WorkDirectory& operator=(const WorkDirectory&) = delete;

private:
    QTemporaryDir m_dir;
    QString m_strPrevious;
};

void AddToCommandProtocol(benchmark::State& state, const QString& text)
{
    const WorkDirectory directory;
    CommandProtocol log(QStringLiteral("10.1.2.3:5555"), QStringLiteral("bench"));
    log.SetMaxBytes(MAX_BYTES);
    if (!log.Init())
        state.SkipWithError(log.GetMessageText().toUtf8().constData());
    for (auto _ : state)
        benchmark::DoNotOptimize(log.Add(text));
}

void AddToSpdlog(benchmark::State& state, const QString& text)
{
    const WorkDirectory directory;
    auto pSink = std::make_shared<spdlog::sinks::rotating_file_sink_st>("spdlog/commandlog.txt", MAX_BYTES, BACKUPS);
    spdlog::logger logger("bench", pSink);
    logger.set_pattern("%H:%M:%S:%e:\t%v");
    logger.flush_on(spdlog::level::trace);
    for (auto _ : state)
        logger.info(text.toLatin1().constData());
}

void BM_CommandProtocolPlain(benchmark::State& state)
{
    AddToCommandProtocol(state, PLAIN_TEXT);
}

void BM_SpdlogRotatingPlain(benchmark::State& state)
{
    AddToSpdlog(state, PLAIN_TEXT);
}

// The command log re-indents XML; spdlog writes it as it is.
void BM_CommandProtocolXml(benchmark::State& state)
{
    AddToCommandProtocol(state, XML_TEXT);
}

void BM_SpdlogRotatingXml(benchmark::State& state)
{
    AddToSpdlog(state, XML_TEXT);
}

// The indentation alone: through a document object, as every XML entry
// did before, and in one pass, as plain documents are indented now.
void BM_XmlIndentByDocument(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(XmlIndent::IndentedByDocument(XML_TEXT));
}

void BM_XmlIndentOnePass(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(XmlIndent::Indented(XML_TEXT));
}

} // namespace

BENCHMARK(BM_CommandProtocolPlain);
BENCHMARK(BM_SpdlogRotatingPlain);
BENCHMARK(BM_CommandProtocolXml);
BENCHMARK(BM_SpdlogRotatingXml);
BENCHMARK(BM_XmlIndentByDocument);
BENCHMARK(BM_XmlIndentOnePass);

BENCHMARK_MAIN();

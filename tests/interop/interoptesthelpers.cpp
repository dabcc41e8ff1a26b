#include "tests/interop/interoptesthelpers.h"

#include "tests/common/programrun.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

namespace InteropTest
{

namespace
{

const int RUN_MS = 300000;
const QString SOURCE_DIR = QStringLiteral(KVT_SOURCE_DIR);

/// Writes the texts one per line into a file of `dir`; its path.
QString WriteLines(const QTemporaryDir& dir, const QByteArrayList& lines)
{
    const QString path = dir.filePath(QStringLiteral("lines"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    for (QByteArray line : lines)
        file.write(line.replace('\n', ' ') + '\n');
    return path;
}

/// Runs a program to its end; its standard output, and rError when it failed.
QByteArray Run(const QString& program, const QStringList& arguments, const QString& workingDir, QString& rError)
{
    const ProgramRun run = RunProgram(program, arguments, workingDir, RUN_MS);
    if (run.nExitCode != 0)
        rError = QStringLiteral("%1 failed (%2): ").arg(program).arg(run.nExitCode) + QString::fromUtf8(run.stdOut + run.stdErr);
    return run.stdOut;
}

}

kvt::DfReading Reading(qint64 timeMs, double doa, double confidence)
{
    kvt::DfReading reading;
    reading.strStationId = QStringLiteral("RxA");
    reading.nTimeMs = timeMs;
    reading.fFrequencyMHz = 145.5;
    reading.fLatitude = 52.61;
    reading.fLongitude = 13.25;
    reading.fHeading = 350.0;
    reading.fDoa = doa;
    reading.fPower = -41.5;
    reading.fConfidence = confidence;
    return reading;
}

bool ReceiveDatagrams(QUdpSocket& socket, QByteArrayList& rReceived, int nCount)
{
    return QTest::qWaitFor(
        [&] {
            while (socket.hasPendingDatagrams())
                rReceived.append(socket.receiveDatagram().data());
            return rReceived.size() >= nCount;
        },
        20000);
}

QString SchemaErrors(const QString& name, const QByteArrayList& messages)
{
    QTemporaryDir dir;
    const QString file = WriteLines(dir, messages);
    QString error;
    Run(QStringLiteral("/usr/bin/python3"),
        {SOURCE_DIR + QStringLiteral("/tests/interop/validate.py"),
         SOURCE_DIR + QStringLiteral("/docs/schemas/%1.schema.json").arg(name), file},
        dir.path(), error);
    return error;
}

QList<QJsonObject> ParseCot(const QByteArrayList& events, QString& rError)
{
    const QString parserDir = SOURCE_DIR + QStringLiteral("/tests/interop/cotparser");
    if (!QFileInfo::exists(parserDir + QStringLiteral("/node_modules/.package-lock.json"))) {
        rError = QStringLiteral("the CoT parser is not installed: run npm ci in %1 (ctest does)").arg(parserDir);
        return {};
    }
    QTemporaryDir dir;
    const QString file = WriteLines(dir, events);
    const QByteArray output =
        Run(QStringLiteral("node"), {parserDir + QStringLiteral("/cotparse.mjs"), file}, parserDir, rError);
    QList<QJsonObject> features;
    for (const QByteArray& line : output.split('\n')) {
        if (!line.isEmpty())
            features.append(QJsonDocument::fromJson(line).object());
    }
    return features;
}

}

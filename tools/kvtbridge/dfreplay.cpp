#include "fusion/bearingsimulator.h"
#include "fusion/scenario.h"
#include "tools/kvtbridge/dfreading.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSaveFile>
#include <QTextStream>
#include <QTimer>

#include <cmath>
#include <deque>

namespace {

/// How often the replayer looks whether the next bearing is due.
constexpr int TICK_MS = 20;

/// The receiver's document for one synthesised bearing: DOA from the heading, in the sense asked for.
QByteArray Document(const Bearing& bearing, bool antiClockwise)
{
    kvt::DfReading reading;
    reading.strStationId = bearing.strStation;
    reading.nTimeMs = bearing.nTimeMs;
    reading.fFrequencyMHz = bearing.fFrequency / 1e6;
    reading.fLatitude = bearing.fLatitude;
    reading.fLongitude = bearing.fLongitude;
    reading.fHeading = bearing.fHeading;
    reading.fSpeed = 0.0;
    const double doa = antiClockwise ? bearing.fHeading - bearing.fBearing : bearing.fBearing - bearing.fHeading;
    reading.fDoa = std::fmod(doa + 720.0, 360.0);
    reading.fPower = bearing.fLevel;
    reading.fConfidence = 90.0;
    reading.fLatencyMs = 0.0;
    return reading.Format();
}

}

// Plays a scenario station's synthesised bearings as a DF receiver's
// current-bearing document, rewritten (atomically) as each one is due on the
// wall clock; the bridge reads it from the file or through an HTTP server.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes the synthesised bearings of one station of a scenario, in real time, as a DF receiver's "
        "current-bearing XML document (for kvtbridge)."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("scenario"), QStringLiteral("The scenario <file>."), QStringLiteral("file")},
        {QStringLiteral("station"), QStringLiteral("The station <name> of the scenario."), QStringLiteral("name")},
        {QStringLiteral("output"), QStringLiteral("The document <file> to rewrite."), QStringLiteral("file")},
        {QStringLiteral("frequency"), QStringLiteral("Only the emitter on <Hz> (default: all)."),
         QStringLiteral("Hz")},
        {QStringLiteral("rate"), QStringLiteral("Bearings per second (default: 1)."), QStringLiteral("n")},
        {QStringLiteral("seconds"), QStringLiteral("Stop after <s> seconds (default: 30)."), QStringLiteral("s")},
        {QStringLiteral("anticlockwise"), QStringLiteral("Write the DOA anti-clockwise from the heading.")},
    });
    parser.process(app);
    QTextStream err(stderr);
    Scenario scenario;
    QString error;
    if (!scenario.Load(parser.value(QStringLiteral("scenario")), error)) {
        err << "kvtdfreplay: " << error << "\n";
        return 2;
    }
    const QString station = parser.value(QStringLiteral("station"));
    const QString output = parser.value(QStringLiteral("output"));
    const double frequency = parser.value(QStringLiteral("frequency")).toDouble();
    const double rate = parser.isSet(QStringLiteral("rate")) ? parser.value(QStringLiteral("rate")).toDouble() : 1.0;
    const double seconds =
        parser.isSet(QStringLiteral("seconds")) ? parser.value(QStringLiteral("seconds")).toDouble() : 30.0;
    if (scenario.FindStation(station) == nullptr || output.isEmpty() || !(rate > 0.0) || !(seconds > 0.0)) {
        err << "kvtdfreplay: needs a station of the scenario, --output, and --rate and --seconds above 0\n";
        return 2;
    }
    BearingSimulator simulator(scenario, 1, rate);
    std::deque<Bearing> due;
    for (const Bearing& bearing : simulator.Generate(seconds)) {
        if (bearing.strStation == station && (frequency <= 0.0 || bearing.fFrequency == frequency))
            due.push_back(bearing);
    }
    const bool antiClockwise = parser.isSet(QStringLiteral("anticlockwise"));
    QElapsedTimer clock;
    clock.start();
    int exitCode = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const qint64 now = scenario.GetStartMs() + clock.elapsed();
        QByteArray document;
        while (!due.empty() && due.front().nTimeMs <= now) {
            document = Document(due.front(), antiClockwise);
            due.pop_front();
        }
        if (!document.isEmpty()) {
            QSaveFile file(output);
            if (!file.open(QIODevice::WriteOnly) || file.write(document) != document.size() || !file.commit()) {
                err << "kvtdfreplay: " << output << ": " << file.errorString() << "\n";
                exitCode = 1;
                QCoreApplication::quit();
            }
        }
        if (due.empty())
            QCoreApplication::quit();
    });
    timer.start(TICK_MS);
    QCoreApplication::exec();
    return exitCode;
}

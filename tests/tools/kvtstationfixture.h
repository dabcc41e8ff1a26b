#pragma once

#include "tests/common/configdirfixture.h"
#include "tests/common/filecontent.h"
#include "tests/common/programrun.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

/// Runs the simulated station as a user would, on the test's fresh
/// configuration directory, and reads back what it wrote.
class StationTest : public ConfigDirFixture
{
protected:
    using Run = ProgramRun;

    Run Station(const QStringList& arguments) { return EndedRun(RunHelper(QStringLiteral(KVTSTATION_PATH), arguments)); }

    /// A JSON run of a few simulated seconds into its own output folder.
    QJsonObject Summary(const QString& outputName, const QStringList& extra = {})
    {
        const Run run = Station(QStringList{"--config-dir", m_dir.path(), "--output-dir", OutputPath(outputName),
                                            "--seconds", "4", "--seed", "7", "--json"}
                                << extra);
        EXPECT_EQ(run.nExitCode, 0) << run.stdErr.constData();
        EXPECT_EQ(WithoutProgress(run.stdErr), QByteArray()) << "a normal run says nothing on stderr";
        return QJsonDocument::fromJson(run.stdOut).object();
    }

    QString OutputPath(const QString& name) const { return m_output.filePath(name); }

    /// stderr without the progress lines a slow run writes.
    static QByteArray WithoutProgress(const QByteArray& stdErr)
    {
        QByteArray rest;
        for (const QByteArray& line : stdErr.split('\n')) {
            if (!line.isEmpty() && !line.endsWith("% simulated"))
                rest += line + '\n';
        }
        return rest;
    }

    /// The application configuration a station starts from, in its configuration folder.
    static void WriteApplicationConfig(const QString& configDir, const QByteArray& lines)
    {
        ASSERT_TRUE(WriteFile(configDir + "/application/Application.ini", lines));
    }

    /// The summary's account of the named output.
    static QJsonObject Delivery(const QJsonObject& summary, const QString& name)
    {
        for (const QJsonValue entry : summary["deliveries"].toArray()) {
            if (entry["name"].toString() == name)
                return entry.toObject();
        }
        ADD_FAILURE() << "no output " << name.toStdString();
        return {};
    }

    /// The summary without the paths, which differ from run to run.
    static QJsonObject WithoutPaths(QJsonObject summary)
    {
        QJsonObject sentences = summary["sentences"].toObject();
        sentences.remove("file");
        summary["sentences"] = sentences;
        QJsonObject commandLog = summary["commandLog"].toObject();
        commandLog.remove("directory");
        commandLog["files"] = commandLog["files"].toArray().size();
        summary["commandLog"] = commandLog;
        summary.remove("outputs");
        QJsonArray deliveries;
        for (const QJsonValue entry : summary["deliveries"].toArray()) {
            QJsonObject delivery = entry.toObject();
            delivery.remove("target");
            deliveries.append(delivery);
        }
        summary["deliveries"] = deliveries;
        return summary;
    }

    QTemporaryDir m_output;
};

#include "fusion/bearingjson.h"
#include "network/mqttconnection.h"
#include "tests/common/mosquittobroker.h"
#include "tests/fusion/fusiontesthelpers.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using FusionTest::Site;
using FusionTest::Towards;

const int WAIT_MS = 20000;

/// kvtfix on a real broker: what stations publish becomes fixes as it arrives.
class KvtFixMqttTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_broker.Start()) << m_broker.GetErrorText().toStdString(); }

    void TearDown() override
    {
        if (m_fix.state() != QProcess::NotRunning) {
            m_fix.kill();
            m_fix.waitForFinished(WAIT_MS);
        }
    }

    bool WaitFor(QByteArray& rText, const char* what, bool standardError)
    {
        return QTest::qWaitFor(
            [&] {
                rText += standardError ? m_fix.readAllStandardError() : m_fix.readAllStandardOutput();
                return rText.contains(what);
            },
            WAIT_MS);
    }

    MosquittoBroker m_broker;
    QProcess m_fix;
};

TEST_F(KvtFixMqttTest, PublishedBearingsBecomeFixesAndStrangersAreRefused)
{
    m_fix.start(QStringLiteral(KVTFIX_PATH), {"--mqtt", QStringLiteral("127.0.0.1:%1").arg(m_broker.GetPort()), "--json"});
    QByteArray errors, output;
    ASSERT_TRUE(WaitFor(errors, "connected", true)) << errors.constData() << m_broker.GetLog().toStdString();

    MqttConnection publisher;
    MqttConnection::Settings settings;
    settings.nPort = m_broker.GetPort();
    ASSERT_TRUE(publisher.Open(settings));
    ASSERT_TRUE(QTest::qWaitFor([&] { return publisher.IsConnected(); }, WAIT_MS));
    const qint64 start = QDateTime(QDate(2026, 12, 7), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch();
    for (int t = 0; t <= 11; ++t) {
        for (const Site& site : {FusionTest::NORTH, FusionTest::SOUTH}) {
            Bearing bearing = Towards(site, 52.52, 13.405, 0.0, start + 1000LL * t);
            bearing.nSeq = t + 1;
            const QByteArray message = BearingJson::Format(bearing);
            ASSERT_GT(publisher.Publish(QStringLiteral("kvt/stations/%1/bearings").arg(site.pszName), message, 1, false), 0);
            // Under another station's name: refused, not fixed.
            ASSERT_GT(publisher.Publish(QStringLiteral("kvt/stations/West/bearings"),
                                        QByteArray(message).replace("\"bearing\":", "\"bearing\":1"), 1, false),
                      0);
        }
    }
    ASSERT_TRUE(WaitFor(output, "\n", false)) << errors.constData();
    const QJsonObject fix = QJsonDocument::fromJson(output.left(output.indexOf('\n'))).object();
    EXPECT_EQ(fix.value("stations").toInt(), 2);
    EXPECT_EQ(fix.value("bearings").toInt(), 20);
    // The message rounds bearings to 0.1°: tens of metres at these distances.
    EXPECT_NEAR(fix.value("latitude").toDouble(), 52.52, 1e-3);
    EXPECT_NEAR(fix.value("longitude").toDouble(), 13.405, 1e-3);
    EXPECT_EQ(fix.value("time").toString(), QStringLiteral("2026-12-07T08:00:10.000Z"));
}

}

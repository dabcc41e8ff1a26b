#include "base/arexception.h"
#include "base/datetime.h"
#include "base/hostversion.h"
#include "base/omekos.h"
#include "base/tokenizer.h"

#include "kvtcommon_version.h"

#include <gtest/gtest.h>

namespace
{

TEST(TokenizerTest, ConsecutiveDelimitersCountAsOne)
{
    Omek::Tokenizer tokens(QStringLiteral(",,Adcock, Watson-Watt,,Doppler,"));
    EXPECT_EQ(tokens(QStringLiteral(",")), QStringLiteral("Adcock"));
    EXPECT_EQ(tokens(QStringLiteral(", ")), QStringLiteral("Watson-Watt"));
    EXPECT_EQ(tokens(QStringLiteral(",")), QStringLiteral("Doppler"));
    EXPECT_EQ(tokens(QStringLiteral(",")), QString());
    EXPECT_EQ(tokens(QStringLiteral(",")), QString());

    Omek::Tokenizer rest(QStringLiteral("a;b"));
    EXPECT_EQ(rest(QString()), QStringLiteral("a;b"));
    EXPECT_EQ(Omek::Tokenizer(QString())(QStringLiteral(",")), QString());
}

TEST(DateTimeTest, FormatsInUtcWithUnpaddedMilliseconds)
{
    const QDateTime when(QDate(2024, 3, 5), QTime(7, 8, 9, 45), Qt::UTC);
    const Omek::DateTime time = Omek::DateTime::FromQDateTime(when);
    EXPECT_EQ(time.GetTime(), static_cast<quint64>(when.toMSecsSinceEpoch()));
    EXPECT_EQ(time.ToQDateTime(), when);
    EXPECT_EQ(time.toString(QStringLiteral("hhmmss")), QStringLiteral("070809"));
    EXPECT_EQ(time.toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss-z")), QStringLiteral("2024-03-05_07-08-09-45"));
    EXPECT_EQ(time.toString(QStringLiteral("zzz 'z' z")), QStringLiteral("045 z 45"));
    EXPECT_EQ(Omek::DateTime(0).toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss-z")), QStringLiteral("1970-01-01_00-00-00-0"));
    EXPECT_EQ(Omek::DateTime::FromQDateTime(QDateTime()).GetTime(), 0u);
}

TEST(OmekOSTest, ClockAndResolver)
{
    const std::unique_ptr<OmekOS> os = OmekOS::Create();
    OmekOS::SetTimeSource([] { return quint64(1234); });
    EXPECT_EQ(os->GetCurrentTime(), 1234u);
    OmekOS::SetTimeSource({});
    EXPECT_GT(os->GetCurrentTime(), 1600000000000u);

    QString resolved = QStringLiteral("unchanged");
    EXPECT_NE(os->ResolveHostAddress(QString(), resolved), 0);
    EXPECT_EQ(resolved, QStringLiteral("unchanged"));
    EXPECT_EQ(os->ResolveHostAddress(QStringLiteral("10.1.2.3"), resolved), 0);
    EXPECT_EQ(resolved, QStringLiteral("10.1.2.3"));
    EXPECT_EQ(os->ResolveHostAddress(QStringLiteral("localhost"), resolved), 0);
    EXPECT_EQ(resolved, QStringLiteral("127.0.0.1"));

    OmekOS::SetResolver([](const QString& host, QString& out) {
        out = host + QStringLiteral(".test");
        return host == QLatin1String("good") ? 0 : 1;
    });
    EXPECT_EQ(os->ResolveHostAddress(QStringLiteral("good"), resolved), 0);
    EXPECT_EQ(resolved, QStringLiteral("good.test"));
    EXPECT_EQ(os->ResolveHostAddress(QStringLiteral("bad"), resolved), 1);
    OmekOS::SetResolver({});
}

TEST(ARExceptionTest, CarriesItsOrigin)
{
    try {
        throw ARException(QStringLiteral("Wrong type assumed for /Ant/Name."), "valueobservermacros.h", QString(),
                          "CreateValue", 42, 3);
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Wrong type assumed for /Ant/Name.");
        const auto& exception = dynamic_cast<const ARException&>(error);
        EXPECT_EQ(exception.GetFunction(), QStringLiteral("CreateValue"));
        EXPECT_EQ(exception.GetSourceFile(), QStringLiteral("valueobservermacros.h"));
        EXPECT_EQ(exception.GetLine(), 42);
        EXPECT_EQ(exception.GetCode(), 3);
    }
    EXPECT_EQ(HostVersion::Version(), QStringLiteral(KVTCOMMON_VERSION_STRING));
}

} // namespace

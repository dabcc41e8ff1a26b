#include "base/datetime.h"
#include "base/omekos.h"
#include "base/tokenizer.h"
#include "tests/common/timezoneguard.h"

#include <gtest/gtest.h>

namespace
{

TEST(TokenizerTest, ConsecutiveDelimitersCountAsOne)
{
    Omek::Tokenizer tokens(",,Adcock, Watson-Watt,,Doppler,");
    EXPECT_EQ(tokens(","), "Adcock");
    EXPECT_EQ(tokens(", "), "Watson-Watt");
    EXPECT_EQ(tokens(","), "Doppler");
    EXPECT_EQ(tokens(","), QString());
    EXPECT_EQ(Omek::Tokenizer("a;b")(QString()), "a;b");
}

TEST(DateTimeTest, FormatsLocalTimeWithUnpaddedMilliseconds)
{
    const TimeZoneGuard zone("KVT-5:30");
    const QDateTime when(QDate(2024, 3, 5), QTime(7, 8, 9, 45), Qt::UTC);
    const Omek::DateTime time = Omek::DateTime::FromQDateTime(when);
    EXPECT_EQ(time.toString("yyyy-MM-dd_hh-mm-ss-z"), "2024-03-05_12-38-09-45");
    EXPECT_EQ(time.toString("zzz 'z' z"), "045 z 45");
    EXPECT_EQ(Omek::DateTime::FromQDateTime(when.addSecs(13 * 3600)).toString("yyyy-MM-dd hhmmss"), "2024-03-06 013809");
    EXPECT_EQ(time.ToQDateTime(), when);
    EXPECT_EQ(Omek::DateTime::FromQDateTime(QDateTime()).GetTime(), 0u);
}

TEST(OmekOSTest, InjectedClockAndLiteralAddresses)
{
    const std::unique_ptr<OmekOS> os = OmekOS::Create();
    OmekOS::SetTimeSource([] { return quint64(1234); });
    EXPECT_EQ(os->GetCurrentTime(), 1234u);
    OmekOS::SetTimeSource({});
    EXPECT_GT(os->GetCurrentTime(), 1600000000000u);

    QString resolved = "unchanged";
    EXPECT_NE(os->ResolveHostAddress(QString(), resolved), 0);
    EXPECT_EQ(resolved, "unchanged");
    EXPECT_EQ(os->ResolveHostAddress("10.1.2.3", resolved), 0);
    EXPECT_EQ(resolved, "10.1.2.3");
}

}

#include "base/cinterfacecreator.h"
#include "base/iinterface.h"
#include "base/iinterfacecallback.h"
#include "base/serialaddress.h"
#include "tests/output/ptypair.h"

#include <QStringList>

#include <memory>

namespace
{

TEST(SerialAddressTest, ParsesPortAndSettings)
{
    SerialAddress address;
    ASSERT_TRUE(SerialAddress::Parse("COM1:9600,e,8,1", address));
    EXPECT_EQ(address.m_strDevice, "/dev/ttyS0");
    EXPECT_EQ(address.m_nBaudRate, 9600);
    EXPECT_EQ(address.m_eParity, SerialAddress::PARITY_EVEN);
    EXPECT_EQ(address.m_nDataBits, 8);
    EXPECT_EQ(address.m_eStopBits, SerialAddress::STOP_ONE);

    ASSERT_TRUE(SerialAddress::Parse("com12: 115200 , O ,7,1.5", address));
    EXPECT_EQ(address.m_strDevice, "/dev/ttyS11");
    EXPECT_EQ(address.m_eParity, SerialAddress::PARITY_ODD);
    EXPECT_EQ(address.m_eStopBits, SerialAddress::STOP_ONE_AND_HALF);

    // Only the last ":" separates the settings; device paths may hold colons.
    ASSERT_TRUE(SerialAddress::Parse("/dev/serial/by-path/pci-0000:00:14.0-port0:4800,n,5,2", address));
    EXPECT_EQ(address.m_strDevice, "/dev/serial/by-path/pci-0000:00:14.0-port0");
    EXPECT_EQ(address.m_eStopBits, SerialAddress::STOP_TWO);
    ASSERT_TRUE(SerialAddress::Parse("ttyUSB0:9600,s,6,1", address));
    EXPECT_EQ(address.m_strDevice, "/dev/ttyUSB0");

    for (const char* bad : {"", "COM1", "COM1:", ":9600,n,8,1", "COM1:9600,n,8", "COM1:9600,n,8,1,1", "COM1:0,n,8,1",
                            "COM1:fast,n,8,1", "COM1:9600,x,8,1", "COM1:9600,no,8,1", "COM1:9600,n,9,1",
                            "COM1:9600,n,4,1", "COM1:9600,n,eight,1", "COM1:9600,n,8,3"})
    {
        SerialAddress untouched;
        untouched.m_nBaudRate = 1;
        EXPECT_FALSE(SerialAddress::Parse(bad, untouched)) << bad;
        EXPECT_EQ(untouched.m_nBaudRate, 1) << bad;
    }
}

/// Records the notifications as short texts.
class RecordingCallback : public IInterfaceCallback
{
public:
    void OnOpen(IInterface*) override { m_lstEvents << "open"; }
    void OnClose(IInterface*) override { m_lstEvents << "close"; }
    void OnRead(IInterface*, const char* data, int length) override { m_received.append(data, length); }
    void OnError(IInterface*, int, const QString&) override { m_lstEvents << "error"; }
    void OnWritten(IInterface*, qint64 bytes) override { m_nWritten += bytes; }

    QStringList m_lstEvents;
    QByteArray m_received;
    qint64 m_nWritten = 0;
};

// A missing device is reported from the event loop: see the DF data output's
// serial test, which starts without one.
TEST(SerialConnectionTest, MovesDataBothWaysBoundsPendingBytesAndReportsAHangUp)
{
    RecordingCallback callback;
    CInterfaceCreator creator;
    EXPECT_EQ(creator.CreateInterface("COM1:9600,e,8", &callback, 100, false), nullptr);
    EXPECT_EQ(creator.CreateInterface("COM1:9600,e,8,1", nullptr, 100, false), nullptr);
    PtyPair pty;
    ASSERT_TRUE(pty.IsValid());
    const std::unique_ptr<IInterface> pInterface =
        creator.CreateInterface(pty.SlaveName() + ":9600,n,8,1", &callback, 16, false);
    ASSERT_NE(pInterface, nullptr);
    EXPECT_FALSE(pInterface->Write("early", 5)) << "opened from the event loop";
    EXPECT_TRUE(callback.m_lstEvents.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&]() { return pInterface->IsOpen(); }));
    EXPECT_EQ(callback.m_lstEvents, QStringList{"open"});

    EXPECT_TRUE(pInterface->Write("0123456789", 10));
    EXPECT_FALSE(pInterface->Write("0123456789", 10)) << "would exceed the 16 pending bytes";
    EXPECT_FALSE(pInterface->Write(nullptr, 3));
    EXPECT_FALSE(pInterface->Write("x", -1));
    EXPECT_EQ(pty.ReadMaster(10), QByteArray("0123456789"));
    EXPECT_TRUE(QTest::qWaitFor([&]() { return callback.m_nWritten == 10; }));

    ASSERT_TRUE(pty.WriteMaster("ping"));
    EXPECT_TRUE(QTest::qWaitFor([&]() { return callback.m_received == "ping"; }));

    pty.CloseMaster();
    EXPECT_TRUE(QTest::qWaitFor([&]() { return callback.m_lstEvents.size() == 3; }));
    EXPECT_EQ(callback.m_lstEvents, (QStringList{"open", "close", "error"}));
    EXPECT_FALSE(pInterface->IsOpen());
    EXPECT_FALSE(pInterface->Write("x", 1));
}

} // namespace

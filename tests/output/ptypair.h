#pragma once

#include <QByteArray>
#include <QString>
#include <QtTest/QTest>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <gtest/gtest.h>

/// A pseudo-terminal standing in for a serial line: the code under test opens
/// the slave device by name, the test reads and writes the master side.
class PtyPair
{
public:
    PtyPair()
    {
        int slave = -1;
        char name[128] = {};
        if (openpty(&m_nMaster, &slave, name, nullptr, nullptr) != 0)
            return;
        // The slave device lives as long as the master is open.
        ::close(slave);
        ::fcntl(m_nMaster, F_SETFL, ::fcntl(m_nMaster, F_GETFL) | O_NONBLOCK);
        // A program the test starts must not hold the master open: closing it is the hang-up.
        ::fcntl(m_nMaster, F_SETFD, FD_CLOEXEC);
        m_strSlaveName = QString::fromLocal8Bit(name);
    }
    ~PtyPair() { CloseMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool IsValid() const { return m_nMaster >= 0; }
    QString SlaveName() const { return m_strSlaveName; }

    /// The far end hangs up: the slave side then fails.
    void CloseMaster()
    {
        if (m_nMaster >= 0)
            ::close(m_nMaster);
        m_nMaster = -1;
    }

    bool WriteMaster(const QByteArray& data) { return ::write(m_nMaster, data.constData(), data.size()) == data.size(); }

    /// Reads the master side, serving the event loop, until `count` bytes came
    /// or 5 s passed.
    QByteArray ReadMaster(int count)
    {
        QByteArray received;
        // A short result is the caller's finding; the wait itself cannot fail otherwise.
        static_cast<void>(QTest::qWaitFor([&]() {
            char buffer[512];
            const ssize_t n = ::read(m_nMaster, buffer, sizeof buffer);
            if (n > 0)
                received.append(buffer, static_cast<int>(n));
            return received.size() >= count;
        }));
        return received;
    }

private:
    int m_nMaster = -1;
    QString m_strSlaveName;
};

#pragma once

#include "base/accountedoutput.h"

#include <QByteArray>
#include <QString>

#include <deque>
#include <memory>

/// The DF data output's serial line, with the connection and reconnection of SerialInterface.
/// A sentence is delivered once the line has handed all its bytes to the device; it is lost when
/// the line is not open (not yet, or down since a failure: the device's reason), when the line
/// refuses it because too many bytes still wait for a line slower than the sentences (said once
/// as a notice with the baud rate), when the line fails while it waits, and when the output is
/// closed before it left. Internal to the library. Single-threaded.
class SerialSentenceSink : public AccountedOutput
{
    Q_OBJECT

public:
    static const QString NAME;

    explicit SerialSentenceSink(unsigned short reconnectIntervalMs, QObject* pParent = nullptr);
    ~SerialSentenceSink() override;

    /// Starts connecting to the address; nothing while a connection is wanted already.
    void Open(const QString& address);
    /// Ends the connection; sentences still waiting are lost.
    void Close();
    bool IsActive() const { return m_pLine != nullptr; }
    void Write(const QByteArray& sentence);

private:
    class Line;

    void OnLineOpen();
    void OnLineFailed(const QString& text);
    void OnBytesWritten(qint64 nBytes);
    void LoseWaiting(Failure eFailure, const QString& reason);

    unsigned short m_nReconnectIntervalMs;
    std::unique_ptr<Line> m_pLine;
    bool m_bLineOpen = false;
    QString m_strLineFailure;
    /// Sizes of the sentences accepted by the line and not yet handed to the device, oldest first.
    std::deque<qint64> m_lstWaiting;
    /// Bytes of the oldest waiting sentence already handed over.
    qint64 m_nWrittenOfFirst = 0;
};

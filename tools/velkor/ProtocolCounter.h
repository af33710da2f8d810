#pragma once

#include <QDate>
#include <QString>

namespace velkor {

// The protocol numbers, kept in a counter file in the transmitter's home folder so that they
// never repeat, across runs and across transmitters running at once.
class ProtocolCounter {
public:
    explicit ProtocolCounter(const QString& homeFolder);

    // The year followed by the counter, at least 8 digits: "2025" "00000042" (17 characters
    // at most). Each call takes the next value under a lock. Throws jx::Error.
    QString next(const QDate& today);

    QString counterFile() const;

    static constexpr int kMaxNumberLength = 17;

private:
    QString m_home;
};

} // namespace velkor

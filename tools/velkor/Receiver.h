#pragma once

#include "delivery/RsaKey.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace velkor {

class ProtocolCounter;

// The authority's side of a delivery: takes a delivery file, checks it as the authority would
// and writes a protocol into it with a verifier that still checks.
class Receiver {
public:
    // What the caller wants done to one file besides the real work (test switches).
    enum class Twist { None, Refuse, BreakVerifier, Remove, BlankDateTime };

    // Plain data sections (the transmitter route) when no private key is given; encrypted
    // ones, opened with it to see what they hold, for the diskette route.
    Receiver(const QString& homeFolder, ProtocolCounter& counter, std::optional<jx::RsaKey> privateKey = {});

    // The line to print for the file. Never throws: whatever is wrong with the file is a
    // refusal, and a refused file is left as it was.
    QString receive(const QString& file, Twist twist = Twist::None);

    // Put before each protocol number.
    QString numberPrefix;
    // The clock, replaceable so a run can be pinned (its fields are written as they are).
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

    QString receivedFolder() const;

    // Files in the folder's root whose names say they come from the program, by name.
    static QStringList programFiles(const QString& folder);

    static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

private:
    QString m_home;
    ProtocolCounter& m_counter;
    std::optional<jx::RsaKey> m_privateKey;
};

} // namespace velkor

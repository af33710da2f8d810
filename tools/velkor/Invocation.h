#pragma once

#include <QProcessEnvironment>
#include <QSet>
#include <QStringList>

#include <optional>

namespace velkor {

// What a run was asked to do. JX starts the transmitter with bare file paths, so the test
// switches come from the environment too; options given on the command line add to them.
struct Invocation {
    QStringList files;
    // Set for the diskette round trip: every program file in the folder's root.
    QString returnFolder;
    QString keysFolder;

    // 1-based positions of the files the switches act on.
    QSet<int> refuse;
    QSet<int> breakVerifier;
    QSet<int> remove;
    QSet<int> blankDateTime;
    bool doNothing = false;
    // Written before each protocol number (longer numbers than the counter's).
    QString numberPrefix;
    // The protocol's date and time as written, whatever the clock says (empty: now).
    QString moment;
    std::optional<int> exitCode;
    bool help = false;

    // Throws jx::Error with a usage text for anything it cannot take.
    static Invocation parse(QStringList args, const QProcessEnvironment& environment);
};

} // namespace velkor

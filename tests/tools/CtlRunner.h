#pragma once

#include <QProcess>
#include <QStringList>

namespace jxtest {

struct CtlRun {
    int status = -1;
    QByteArray out;
    QString err;
    QString outText() const { return QString::fromUtf8(out); }
};

// Runs jxctl as a user would and collects what it said.
inline CtlRun jxctl(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(JXCTL_PATH), args);
    process.waitForFinished(60000);
    CtlRun run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace jxtest

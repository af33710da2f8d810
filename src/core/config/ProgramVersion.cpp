#include "config/ProgramVersion.h"

namespace jx::version {

FileVersion compiledIn()
{
    return { JX_VERSION_MAJOR, JX_VERSION_MINOR, JX_VERSION_PATCH, JX_VERSION_TWEAK };
}

QString text(const FileVersion& version, bool dotted)
{
    const QString separator = dotted ? QStringLiteral(".") : QString();
    return QString::number(version.major) + separator + QStringLiteral("%1").arg(version.minor, 2, 10, QChar(u'0'))
        + separator + QStringLiteral("%1").arg(version.release, 2, 10, QChar(u'0'));
}

QString text(bool dotted)
{
    return text(compiledIn(), dotted);
}

QString splashText(const FileVersion& version)
{
    return QString::number(version.major) + u'.' + QStringLiteral("%1").arg(version.minor, 2, 10, QChar(u'0')) + u'.'
        + QString::number(version.release) + u'1';
}

} // namespace jx::version

// velkor: the authority's transmitter, stood in. It takes delivery files, checks them as the
// authority would and writes a protocol into those it accepts; with --devolver it plays the
// authority returning a diskette. Test switches steer it by environment, since JX starts it
// with bare file paths.

#include "Invocation.h"
#include "ProtocolCounter.h"
#include "Receiver.h"
#include "Texts.h"

#include "Error.h"
#include "delivery/RsaKey.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace {

void print(std::FILE* stream, const QString& line)
{
    std::fputs((line + u'\n').toUtf8().constData(), stream);
    std::fflush(stream);
}

QString homeFolder(const QProcessEnvironment& environment)
{
    const QString home = environment.value(QStringLiteral("VELKOR_HOME"));
    if (!home.trimmed().isEmpty())
        return QDir(home).absolutePath();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(data).filePath(QStringLiteral("velkor"));
}

velkor::Receiver::Twist twistAt(const velkor::Invocation& invocation, int position)
{
    using Twist = velkor::Receiver::Twist;
    if (invocation.remove.contains(position))
        return Twist::Remove;
    if (invocation.refuse.contains(position))
        return Twist::Refuse;
    if (invocation.breakVerifier.contains(position))
        return Twist::BreakVerifier;
    if (invocation.blankDateTime.contains(position))
        return Twist::BlankDateTime;
    return Twist::None;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    velkor::Invocation invocation;
    try {
        invocation = velkor::Invocation::parse(app.arguments().mid(1), environment);
    } catch (const jx::Error& e) {
        print(stderr, QStringLiteral("velkor: ") + e.userText());
        print(stderr, velkor::texts::kUsage);
        return 2;
    }
    if (invocation.help) {
        print(stdout, velkor::texts::kUsage);
        return 0;
    }
    if (invocation.doNothing)
        return 0;

    QStringList files = invocation.files;
    std::optional<jx::RsaKey> privateKey;
    if (!invocation.returnFolder.isEmpty()) {
        if (!QFileInfo(invocation.returnFolder).isDir()) {
            print(stderr, QStringLiteral("velkor: ") + velkor::texts::kNoFolder.arg(invocation.returnFolder));
            return 2;
        }
        const QString keys = invocation.keysFolder.isEmpty()
            ? jx::programFolder::binFolderOf(QCoreApplication::applicationDirPath())
            : invocation.keysFolder;
        try {
            privateKey = jx::RsaKey::load(QDir(keys).filePath(QString::fromLatin1(jx::kPrivateKeyFile)));
        } catch (const jx::Error& e) {
            print(stderr, QStringLiteral("velkor: chave privada em %1: %2").arg(keys, e.userText()));
            return 2;
        }
        files = velkor::Receiver::programFiles(invocation.returnFolder);
    }

    velkor::ProtocolCounter counter(homeFolder(environment));
    velkor::Receiver receiver(homeFolder(environment), counter, std::move(privateKey));
    receiver.numberPrefix = invocation.numberPrefix;
    if (!invocation.moment.isEmpty()) {
        // In UTC, so that an hour the local clock skips is written as given.
        const QDateTime pinned(QDate::fromString(invocation.moment.left(10), QStringLiteral("dd/MM/yyyy")),
            QTime::fromString(invocation.moment.mid(11), QStringLiteral("hh:mm:ss")), Qt::UTC);
        receiver.now = [pinned] { return pinned; };
    }
    for (int i = 0; i < files.size(); ++i)
        print(stdout, receiver.receive(files[i], twistAt(invocation, i + 1)));
    return invocation.exitCode.value_or(0);
}

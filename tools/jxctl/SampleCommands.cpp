// jxctl exemplos: sample requests written in one transaction, for trying the program out and
// for running the office's chain by hand at any scale.

#include "Cli.h"
#include "Samples.h"

#include "Error.h"
#include "db/Sqlite.h"

#include <QDateTime>

namespace jxctl {

namespace {

const QString kSamplesUsage = QStringLiteral(
    "exemplos solicitacoes N [--banco CAMINHO]  (cria N solicitações de exemplo, fictícias e completas)");

int createSamples(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString path = databaseOption(args);
    requireCount(args, 2, kSamplesUsage);
    if (args[0] != QLatin1String("solicitacoes"))
        throw UsageError(QStringLiteral("Há exemplos só de solicitações. Uso: jxctl %1").arg(kSamplesUsage));
    bool ok = false;
    const int count = args[1].toInt(&ok);
    if (!ok || count < 1 || count > samples::kMaxCount)
        throw UsageError(
            QStringLiteral("O número de solicitações deve ser de 1 a %1: \"%2\".").arg(samples::kMaxCount).arg(args[1]));
    jx::db::Connection connection;
    openDatabase(connection, path);
    samples::Created created;
    try {
        jx::db::Transaction transaction(connection);
        // To the second, as the program stores a creation moment.
        const QDateTime now = QDateTime::currentDateTime();
        created = samples::createRequests(connection, count, now.addMSecs(-now.time().msec()));
        transaction.commit();
    } catch (const jx::Error&) {
        throw;
    } catch (const std::exception& e) {
        throw jx::Error(QStringLiteral("As solicitações de exemplo não foram gravadas: ") + jx::db::failureText(e));
    }
    if (count == 1)
        out(QStringLiteral("1 solicitação de exemplo criada (ID %1).").arg(created.firstKey));
    else
        out(QStringLiteral("%1 solicitações de exemplo criadas (IDs %2 a %3).")
                .arg(count)
                .arg(created.firstKey)
                .arg(created.lastKey));
    return 0;
}

} // namespace

std::vector<Command> sampleCommands()
{
    return { { QStringLiteral("exemplos"), kSamplesUsage, createSamples } };
}

} // namespace jxctl

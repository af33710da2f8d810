#include "Invocation.h"

#include "Error.h"

#include <QDate>
#include <QTime>

namespace velkor {

namespace {

QSet<int> positions(const QString& text, const QString& source)
{
    QSet<int> result;
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int position = part.trimmed().toInt(&ok);
        if (!ok || position < 1)
            throw jx::Error(QStringLiteral("Posição inválida em %1: \"%2\" (use números a partir de 1, separados "
                                           "por vírgula).")
                                .arg(source, text));
        result.insert(position);
    }
    return result;
}

int exitCodeOf(const QString& text, const QString& source)
{
    bool ok = false;
    const int code = text.trimmed().toInt(&ok);
    if (!ok || code < 0 || code > 255)
        throw jx::Error(QStringLiteral("Código de saída inválido em %1: \"%2\" (0 a 255).").arg(source, text));
    return code;
}

struct PositionSwitch {
    const char* option;
    const char* variable;
    QSet<int> Invocation::*target;
};

const PositionSwitch kPositionSwitches[] = {
    { "--recusar", "VELKOR_RECUSAR", &Invocation::refuse },
    { "--quebrar", "VELKOR_QUEBRAR", &Invocation::breakVerifier },
    { "--remover", "VELKOR_REMOVER", &Invocation::remove },
    { "--sem-data", "VELKOR_SEM_DATA", &Invocation::blankDateTime },
};

QString valueAfter(QStringList& args, const QString& option)
{
    if (args.isEmpty())
        throw jx::Error(QStringLiteral("Falta o valor de %1.").arg(option));
    return args.takeFirst();
}

} // namespace

Invocation Invocation::parse(QStringList args, const QProcessEnvironment& environment)
{
    Invocation invocation;
    for (const PositionSwitch& entry : kPositionSwitches) {
        const QString variable = QLatin1String(entry.variable);
        const QString value = environment.value(variable);
        if (!value.trimmed().isEmpty())
            invocation.*entry.target += positions(value, variable);
    }
    const QString nothing = environment.value(QStringLiteral("VELKOR_NADA")).trimmed();
    invocation.doNothing = !nothing.isEmpty() && nothing != QLatin1String("0");
    invocation.numberPrefix = environment.value(QStringLiteral("VELKOR_PREFIXO"));
    invocation.moment = environment.value(QStringLiteral("VELKOR_MOMENTO")).trimmed();
    if (!invocation.moment.isEmpty()
        && !(invocation.moment.size() == 19
            && QDate::fromString(invocation.moment.left(10), QStringLiteral("dd/MM/yyyy")).isValid()
            && QTime::fromString(invocation.moment.mid(11), QStringLiteral("hh:mm:ss")).isValid()))
        throw jx::Error(QStringLiteral("Momento inválido em VELKOR_MOMENTO: \"%1\" (use dd/mm/aaaa hh:mm:ss).")
                            .arg(invocation.moment));
    const QString exitCode = environment.value(QStringLiteral("VELKOR_SAIDA"));
    if (!exitCode.trimmed().isEmpty())
        invocation.exitCode = exitCodeOf(exitCode, QStringLiteral("VELKOR_SAIDA"));

    // Options come before the files; "--" ends them for a file whose name starts with "-".
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("-"))) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--"))
            break;
        if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            invocation.help = true;
            continue;
        }
        if (option == QLatin1String("--nada")) {
            invocation.doNothing = true;
            continue;
        }
        if (option == QLatin1String("--saida")) {
            invocation.exitCode = exitCodeOf(valueAfter(args, option), option);
            continue;
        }
        if (option == QLatin1String("--devolver")) {
            invocation.returnFolder = valueAfter(args, option);
            continue;
        }
        if (option == QLatin1String("--chaves")) {
            invocation.keysFolder = valueAfter(args, option);
            continue;
        }
        bool known = false;
        for (const PositionSwitch& entry : kPositionSwitches) {
            if (option == QLatin1String(entry.option)) {
                invocation.*entry.target += positions(valueAfter(args, option), option);
                known = true;
            }
        }
        if (!known)
            throw jx::Error(QStringLiteral("Opção desconhecida: %1").arg(option));
    }
    invocation.files = args;
    if (invocation.help)
        return invocation;
    if (!invocation.returnFolder.isEmpty() && !invocation.files.isEmpty())
        throw jx::Error(QStringLiteral("Com --devolver não se informam arquivos."));
    if (invocation.returnFolder.isEmpty() && !invocation.keysFolder.isEmpty())
        throw jx::Error(QStringLiteral("--chaves só vale com --devolver."));
    if (invocation.returnFolder.isEmpty() && invocation.files.isEmpty() && !invocation.doNothing)
        throw jx::Error(QStringLiteral("Informe ao menos um arquivo."));
    return invocation;
}

} // namespace velkor

#include "Cli.h"

#include <cstdio>

namespace jxctl {

void out(const QString& line)
{
    std::fputs((line + u'\n').toUtf8().constData(), stdout);
}

void err(const QString& line)
{
    std::fputs((line + u'\n').toUtf8().constData(), stderr);
}

QString takeOption(QStringList& args, const QString& flag, const QString& fallback)
{
    const qsizetype at = args.indexOf(flag);
    if (at < 0)
        return fallback;
    if (at + 1 >= args.size())
        throw UsageError(QStringLiteral("A opção %1 precisa de um valor.").arg(flag));
    const QString value = args.at(at + 1);
    args.remove(at, 2);
    return value;
}

bool takeFlag(QStringList& args, const QString& flag)
{
    return args.removeAll(flag) > 0;
}

void requireCount(const QStringList& args, qsizetype count, const QString& usage)
{
    if (args.size() < count)
        throw UsageError(QStringLiteral("Faltam argumentos. Uso: jxctl %1").arg(usage));
    if (args.size() > count)
        throw UsageError(QStringLiteral("Argumentos a mais: %1. Uso: jxctl %2").arg(args.mid(count).join(u' '), usage));
}

} // namespace jxctl

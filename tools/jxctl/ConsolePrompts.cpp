#include "ConsolePrompts.h"

#include "Cli.h"

namespace jxctl {

namespace {

// Message texts carry the system's CR LF; a terminal wants plain line ends.
QString forTerminal(const QString& text)
{
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return out;
}

} // namespace

void ConsolePrompts::error(const QString& text)
{
    m_errorShown = true;
    ++m_shown;
    err(QStringLiteral("jxctl: ") + forTerminal(text));
}

void ConsolePrompts::warning(const QString& text)
{
    ++m_shown;
    err(QStringLiteral("jxctl: aviso: ") + forTerminal(text));
}

void ConsolePrompts::information(const QString& text)
{
    ++m_shown;
    err(QStringLiteral("jxctl: ") + forTerminal(text));
}

void ConsolePrompts::message(const QString& text)
{
    ++m_shown;
    err(QStringLiteral("jxctl: ") + forTerminal(text));
}

bool ConsolePrompts::confirmYesNo(const QString& text)
{
    err(QStringLiteral("jxctl: ") + forTerminal(text) + QStringLiteral(" (respondido: Não)"));
    return false;
}

bool ConsolePrompts::confirmOkCancel(const QString& text)
{
    err(QStringLiteral("jxctl: ") + forTerminal(text) + QStringLiteral(" (respondido: Cancelar)"));
    return false;
}

QString ConsolePrompts::chooseFolder(const QString&, const QString&)
{
    return {};
}

QString ConsolePrompts::chooseSaveFile(const QString&, const QString&, const QString&)
{
    return {};
}

} // namespace jxctl

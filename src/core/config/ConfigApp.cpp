#include "config/ConfigApp.h"

#include "platform/UserPrompts.h"

#include <QDir>

namespace jx {

TConfigApp::~TConfigApp()
{
    closeLog();
}

void TConfigApp::openLog(const QString& programFolder, UserPrompts& prompts)
{
    if (!loggingActive())
        return;
    if (NomeArqLog.trimmed().isEmpty()) {
        prompts.information(kBlankLogNameText);
        GeraLog = false;
        return;
    }
    m_log.setFileName(QDir(programFolder).filePath(NomeArqLog));
    if (!m_log.open(QIODevice::WriteOnly | QIODevice::Append))
        GeraLog = false;
}

void TConfigApp::writeLog(const QString& text)
{
    if (!loggingActive() || !m_log.isOpen())
        return;
    // Latin-1 like every text file the program writes; a failed write is ignored because
    // the error box has already told the user.
    m_log.write((text + QStringLiteral("\r\n")).toLatin1());
    m_log.flush();
}

void TConfigApp::closeLog()
{
    if (m_log.isOpen())
        m_log.close();
}

QString TConfigApp::errorRecord(const QString& message, const QDateTime& when)
{
    return QStringLiteral("Erro ocorrido em : \r\n") + when.toString(QStringLiteral("dd/MM/yyyy hh:mm"))
        + QStringLiteral("\r\n") + message + QStringLiteral("\r\n");
}

void TConfigApp::logError(const QString& message, const QDateTime& when)
{
    writeLog(errorRecord(message, when));
}

QString TConfigApp::applicationTitle() const
{
    return QStringLiteral("JX ") + Versao;
}

QString TConfigApp::mainWindowCaption() const
{
    return QStringLiteral("Inscrição Estadual ") + Versao + Release;
}

QString TConfigApp::aboutVersionText() const
{
    return VersaoTeste ? QStringLiteral("Versão Teste ") + Versao + Release : QStringLiteral("Versão ") + Versao;
}

} // namespace jx

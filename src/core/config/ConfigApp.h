#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>

namespace jx {

class UserPrompts;

// The program's fixed configuration and its error log. Logging is active exactly when
// VersaoTeste and GeraLog are both true; with the shipped values nothing is logged.
class TConfigApp {
public:
    QString Versao = QStringLiteral("1.00.01");
    QString Release;
    bool VersaoTeste = false;
    bool GeraLog = true;
    QString NomeArqLog = QStringLiteral("log_erros.log");
    // The authority's site behind the About box link (shown without the scheme).
    QString EnderecoZKF = QStringLiteral("www.zkf.qz.gov.br");
    // The issuing authority as the printed forms and receipts name it in their heading.
    QString NomeOrgao = QStringLiteral("ZKF - Secretaria de Estado da Fazenda");

    TConfigApp() = default;
    ~TConfigApp();
    TConfigApp(const TConfigApp&) = delete;
    TConfigApp& operator=(const TConfigApp&) = delete;

    bool loggingActive() const { return VersaoTeste && GeraLog; }

    // Opens the log in the program folder for appending. A blank name is reported once and
    // switches logging off; a file that cannot be opened switches it off silently.
    void openLog(const QString& programFolder, UserPrompts& prompts);
    // Writes the text and CR LF; failures are swallowed.
    void writeLog(const QString& text);
    void closeLog();
    bool logOpen() const { return m_log.isOpen(); }

    // The record of one unhandled error; writeLog's CR LF ends it with an empty line.
    static QString errorRecord(const QString& message, const QDateTime& when);
    void logError(const QString& message, const QDateTime& when = QDateTime::currentDateTime());

    // Texts of the shell built from the configuration.
    QString applicationTitle() const;
    QString mainWindowCaption() const;
    QString aboutVersionText() const;

    static inline const QString kBlankLogNameText
        = QStringLiteral("Não foi informado o nome do arquivo de Log de controle da aplicação!");

private:
    QFile m_log;
};

} // namespace jx

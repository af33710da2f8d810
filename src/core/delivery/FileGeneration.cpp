#include "delivery/FileGeneration.h"

#include "Error.h"
#include "data/TdtmJX.h"
#include "delivery/DataLayouts.h"
#include "delivery/DeliveryCrypto.h"
#include "delivery/ManipulaXml.h"
#include "delivery/RsaKey.h"
#include "platform/Files.h"
#include "text/DocumentChecks.h"
#include "verification/Verification.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace jx {

using data::RecordSet;

namespace {

QDate dateOf(const QVariant& value)
{
    const QString t = value.toString().trimmed();
    return QDate::fromString(t.left(10), Qt::ISODate);
}

// The CNPJ's two check digits (either form), without the refusal of fourteen zeros.
bool cnpjDigitsRight(const QString& id)
{
    return id.size() == 14 && docs::cnpjCheckDigits(id.left(12)) == id.right(2);
}

} // namespace

bool LerNomeArquivo(const QString& name, TInfArquivo& info)
{
    info = {};
    static const QString prefix = QStringLiteral("JX");
    if (!name.startsWith(prefix))
        return false;
    // Read where the program writes them: an alphanumeric CNPJ may itself hold an S, an H or
    // the letters of "CNPJ".
    const QChar kind = name.size() > 2 ? name.at(2) : QChar();
    info.tipo = kind == u'S' ? QStringLiteral("S") : kind == u'H' ? QStringLiteral("H") : QStringLiteral("B");
    info.tipoIdentificador = name.mid(3, 4) == QLatin1String("CNPJ") ? QStringLiteral("CNPJ") : QStringLiteral("CPF");
    const int dot = name.lastIndexOf(u'.');
    info.extensao = dot >= 0 ? name.mid(dot).toLower() : QString();
    int at = prefix.size();
    if (info.tipo != QLatin1String("B")) {
        at += 1 + info.tipoIdentificador.size();
        const int length = info.tipoIdentificador == QLatin1String("CNPJ") ? 14 : 11;
        info.identificador = name.mid(at, length);
        const bool right = length == 14 ? cnpjDigitsRight(info.identificador) : docs::cpfIsValid(info.identificador);
        if (!right)
            return false;
        at += length;
    }
    const QString moment = name.mid(at, 14);
    info.data = moment.mid(6, 2) + u'/' + moment.mid(4, 2) + u'/' + moment.left(4);
    info.hora = moment.mid(8, 2) + u':' + moment.mid(10, 2) + u':' + moment.mid(12, 2);
    if (moment.size() != 14 || !docs::onlyDigits(moment) || !docs::dateIsValid(info.data) || !docs::timeIsValid(info.hora))
        return false;
    // A database copy's name is exactly the prefix, the moment and the extension: "JX", 14
    // digits, ".bkp" (a kind letter or anything else after the moment makes it another file).
    if (info.tipo == QLatin1String("B"))
        return name.size() == prefix.size() + 14 + 4 && name.at(prefix.size() + 14) == u'.'
            && info.extensao == QLatin1String(".bkp");
    if (info.tipo == QLatin1String("S"))
        return info.extensao == QLatin1String(".xml");
    return true;
}

FileGeneration::FileGeneration(TdtmJX& jx, const QString& programFolder)
    : m_jx(jx)
    , m_programFolder(programFolder)
{
}

RecordSet& FileGeneration::filings() const
{
    return m_jx.TipoAtual == 1 ? *m_jx.cdsSolicitacaoIE : *m_jx.cdsSolicitacao_Contab;
}

QString FileGeneration::workingFolder() const
{
    return QDir(m_programFolder).filePath(QStringLiteral("Temp"));
}

QString FileGeneration::fileName() const
{
    const RecordSet& f = filings();
    const QString moment = DataLayouts::momentDigits(f.value("DATACRIACAO"));
    // Without it the name could be read back by no one (capture, restore).
    if (moment.isEmpty())
        throw Error(QStringLiteral("A data de criação não está registrada."));
    if (m_jx.TipoAtual == 1)
        return QStringLiteral("JXSCNPJ") + f.value("CNPJ").toString() + moment + QStringLiteral(".xml");
    const QString type = f.value("TIPO_IDENTIFICACAO").toInt() == 3 ? QStringLiteral("CNPJ") : QStringLiteral("CPF");
    return QStringLiteral("JXH") + type + f.value("IDENTIFICACAO").toString() + moment + QStringLiteral(".xml");
}

void FileGeneration::GerarArquivoEntrega(const QString& file)
{
    const RecordSet& f = filings();
    TInfCabecalho header;
    QDate date;
    if (m_jx.TipoAtual == 1) {
        const bool single = f.value("CATEGORIA").toInt() == 1;
        header.tipo_identificador = single ? QStringLiteral("CNPJ") : QStringLiteral("IE");
        header.identificador = single ? f.value("CNPJ").toString() : f.value("MATRIZ_IE").toString();
        header.tipo_arquivo = single ? QStringLiteral("6") : QStringLiteral("8");
        date = dateOf(f.value("DATASOLICITACAOIE"));
    } else {
        header.tipo_identificador
            = f.value("TIPO_IDENTIFICACAO").toInt() == 3 ? QStringLiteral("CNPJ") : QStringLiteral("CPF");
        header.identificador = f.value("IDENTIFICACAO").toString();
        header.tipo_arquivo = QStringLiteral("7");
        date = dateOf(f.value("DATAHABILITACAOCONTABILISTA"));
    }
    header.versao_programa_gerador = QStringLiteral("1.00.01");
    header.data_inicial = date;
    header.data_final = date;
    header.indicativo_substituicao = QStringLiteral("N");

    DataLayouts layouts(m_jx);
    layouts.setBackupForm(m_backupForm);
    const QStringList lines = m_jx.TipoAtual == 1 ? layouts.MontarDadosSolicitacao() : layouts.MontarDadosHabilitacao();
    QString data;
    for (const QString& line : lines)
        data += line + QStringLiteral("\r\n");

    // The data stays plain here, but a filing whose keys cannot be loaded gets no file.
    const QString keys = m_keysFolder.isEmpty() ? m_jx.crypto().keysFolder() : m_keysFolder;
    RsaKey::load(QDir(keys).filePath(QStringLiteral("PrivateKey.dat")));
    RsaKey::load(QDir(keys).filePath(QStringLiteral("PublicKey.dat")));

    QByteArray bytes = xmlfile::fileBytes(header, data);
    if (m_seal && !m_seal(bytes, file))
        throw Error(QStringLiteral("O arquivo %1 não pôde ser criptografado.").arg(QDir::toNativeSeparators(file)));
    files::replaceContent(file, bytes);
}

QStringList FileGeneration::GerarArquivos(
    const QList<int>& rows, QStringList& ids, const QString& folderIn, QStringList& failures)
{
    QStringList files;
    m_reasons.clear();
    const QString folder = folderIn.isEmpty() ? workingFolder() : folderIn;
    if (!QDir().mkpath(folder))
        throw Error(QStringLiteral("Não foi possível criar a pasta %1.").arg(QDir::toNativeSeparators(folder)));
    RecordSet& f = filings();
    // The "I" of a filing that fails is applied at once: nothing typed elsewhere may go with it.
    if (f.state() != RecordSet::State::Browse || f.hasPending())
        throw Error(QStringLiteral("Há alterações não gravadas; grave-as ou cancele-as antes de gerar os arquivos."));
    const int kind = m_jx.TipoAtual == 1 ? 1 : 0;
    const char* key = kind == 1 ? "ID_SOLICITACAO" : "ID_SOLICITACAO_CONTABILISTA";
    QList<int> order = rows;
    if (order.isEmpty() && !f.isEmpty())
        order << f.recNo();
    for (const int row : order) {
        if (row < 0 || row >= f.count())
            continue;
        QString id;
        QString file;
        auto fail = [&](const QString& reason) {
            failures << id;
            QString why = reason;
            // An older file of that name must not pass for this run's.
            if (!file.isEmpty() && !files.contains(file) && QFileInfo::exists(file))
                why += QStringLiteral(" (o arquivo %1 existente na pasta é de uma geração anterior)")
                           .arg(QFileInfo(file).fileName());
            m_reasons << id + QStringLiteral(": ") + why;
        };
        try {
            f.moveTo(row); // the filing's details follow
            id = f.value(QLatin1String(key)).toString();
            try {
                file = QDir(folder).filePath(fileName());
            } catch (const Error&) {
                // told below, once the verification has had its say
            }
            Verification verification(m_jx);
            if (!verification.ApurarPendencias(kind)) {
                fail(QStringLiteral("incompleta"));
                f.edit();
                f.setValue("STATUS", "I");
                f.post();
                if (!m_jx.apply(f, 0, false))
                    f.cancelUpdates(); // the table keeps its status; the set shows it again
                continue;
            }
            if (file.isEmpty())
                file = QDir(folder).filePath(fileName());
            // Two filings of one name (the same one chosen twice): the later would replace the first.
            if (files.contains(file)) {
                fail(QStringLiteral("arquivo já gerado nesta execução"));
                continue;
            }
            GerarArquivoEntrega(file);
            files << file;
            ids << id;
        } catch (const ProgramEnd&) {
            throw;
        } catch (const Error& failure) {
            f.cancelUpdates();
            fail(failure.userText());
        } catch (const std::exception& failure) {
            f.cancelUpdates();
            fail(QString::fromUtf8(failure.what()));
        }
    }
    return files;
}

} // namespace jx

#include "delivery/ProtocolCapture.h"

#include "Error.h"
#include "data/TdtmJX.h"
#include "db/Sqlite.h"
#include "db/TdtmDB.h"
#include "delivery/DataLayouts.h"
#include "delivery/DeliveryRun.h"
#include "delivery/FileGeneration.h"
#include "delivery/ManipulaXml.h"
#include "delivery/Receipts.h"
#include "delivery/UnregisteredDeliveries.h"
#include "delivery/XmlLibraryPass.h"
#include "platform/UserPrompts.h"
#include "text/Masks.h"
#include "text/TextUtils.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace jx {

using data::RecordSet;

namespace {

QString textBelow(pugi::xml_node node, const char* name)
{
    return QString::fromUtf8(xmlpass::findBelow(node, name).text().get());
}

} // namespace

ReturnedFile readReturnedFile(const QByteArray& bytes)
{
    ReturnedFile file;
    pugi::xml_document document;
    try {
        xmlpass::loadBytes(document, bytes);
    } catch (const Error&) {
        file.state = ReturnedFile::State::Incorrect;
        return file;
    }
    const pugi::xml_node root = document.document_element();
    file.verificador = textBelow(root, "verificador_integridade");
    file.identificador = textBelow(root, "identificador");
    file.versao = textBelow(root, "versao_programa_gerador");
    const pugi::xml_node protocol = xmlpass::findBelow(root, "protocolo");
    file.numero = QString::fromUtf8(protocol.child("numero").text().get());
    const QString date = QString::fromUtf8(protocol.child("data").text().get()).trimmed();
    const QString time = QString::fromUtf8(protocol.child("hora").text().get()).trimmed();
    if (xmlfile::foreignMarkup(bytes) || !xmlfile::verifierMatches(document)) {
        file.state = ReturnedFile::State::Incorrect;
        return file;
    }
    if (!protocol || file.numero.trimmed().isEmpty()) {
        file.state = ReturnedFile::State::NoProtocol;
        return file;
    }
    file.data = QDate::fromString(date, QStringLiteral("dd/MM/yyyy"));
    file.hora = QTime::fromString(time, QStringLiteral("HH:mm:ss"));
    // What the list's columns and the delivery record cannot hold is no protocol of ours; the
    // verifier covers the Latin-1 bytes, where a wider character reads as "?".
    auto latin1 = [](const QString& text) {
        return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
    };
    const bool fits = file.numero.size() <= 20 && file.identificador.size() <= 20 && file.versao.size() <= 7
        && text::digitsOf(file.versao).size() <= 5 && file.verificador.size() <= 200
        && latin1(file.numero + file.identificador + file.versao + file.verificador)
        && (date.isEmpty() || file.data.isValid()) && (time.isEmpty() || file.hora.isValid());
    file.state = fits ? ReturnedFile::State::Protocol : ReturnedFile::State::Incorrect;
    return file;
}

ProtocolCapture::ProtocolCapture(TdtmJX& jx, UserPrompts& prompts)
    : m_jx(jx)
    , m_prompts(prompts)
{
}

QStringList ProtocolCapture::LerProtocolosDisquete(const QString& driveRoot)
{
    m_drive = driveRoot;
    RecordSet& list = *m_jx.cdsProtocolosAux;
    list.clearRows();
    QStringList incorrect;
    const QDir root(driveRoot);
    // In name order: the file system's own order differs from one medium to the next.
    const QFileInfoList entries
        = root.entryInfoList({ QStringLiteral("*.xml") }, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    int count = 0;
    for (const QFileInfo& entry : entries) {
        TInfArquivo name;
        if (!entry.isFile() || !LerNomeArquivo(entry.fileName(), name) || name.tipo == QLatin1String("B"))
            continue;
        const QString path = QDir::toNativeSeparators(entry.absoluteFilePath());
        QFile file(entry.absoluteFilePath());
        if (entry.size() > kMaxFileSize || !file.open(QIODevice::ReadOnly)) {
            incorrect << path;
            continue;
        }
        const ReturnedFile read = readReturnedFile(file.read(kMaxFileSize));
        if (read.state == ReturnedFile::State::Incorrect) {
            incorrect << path;
            continue;
        }
        if (read.state == ReturnedFile::State::NoProtocol)
            continue;
        const bool cnpj = name.tipoIdentificador == QLatin1String("CNPJ");
        const bool request = name.tipo == QLatin1String("S");
        try {
            list.append();
            list.setValue("IDENTIFICADOR",
                masks::apply(read.identificador, cnpj ? masks::kCnpjDisplay : masks::kCpfDisplay).left(20));
            // Padded, never cut: a number of 18 to 20 characters is stored whole.
            list.setValue("PROTOCOLO", read.numero.leftJustified(17, u' '));
            list.setValue("DATA", read.data.isValid() ? QVariant(read.data) : QVariant());
            list.setValue("HORA", read.hora.isValid() ? read.hora.toString(QStringLiteral("HH:mm:ss")) : QString());
            list.setValue("NOMEARQUIVO", entry.fileName());
            list.setValue("FORMAENTREGA", "D");
            list.setValue("CAMINHOARQUIVO", path);
            list.setValue("VERSAO", read.versao);
            list.setValue("HAS", read.verificador);
            list.setValue("CONTA", count + 1);
            list.setValue("TIPO", request ? QStringLiteral("Solicitação de Inscrição Estadual")
                                          : QStringLiteral("Habilitação de Contabilista"));
            list.setValue("COD_TIPO", request ? "S" : "H");
            list.post();
            ++count;
        } catch (const std::exception&) {
            // One file the list cannot take does not hide the others.
            list.cancel();
            incorrect << path;
        }
    }
    list.first();
    m_incorrect = incorrect;
    return incorrect;
}

bool ProtocolCapture::LerDisquete(const QString& driveRoot)
{
    const QStringList incorrect = LerProtocolosDisquete(driveRoot);
    const bool listed = !m_jx.cdsProtocolosAux->isEmpty();
    if (!listed && incorrect.isEmpty()) {
        m_prompts.error(kNoProtocol);
        return false;
    }
    if (!incorrect.isEmpty()) {
        m_prompts.error(kIncorrectFiles + incorrect.join(QStringLiteral("\r\n")));
        return listed;
    }
    return true;
}

bool ProtocolCapture::capturarProtocolo()
{
    RecordSet& list = *m_jx.cdsProtocolosAux;
    if (list.isEmpty()) {
        m_prompts.error(kNothingToImport);
        return false;
    }
    if (selectRecordedDelivery()) {
        m_prompts.error(kAlreadyCaptured);
        return false;
    }
    const bool captured = tryCapture();
    if (captured)
        m_prompts.information(kCaptured);
    else if (m_lastFailure.isEmpty())
        m_prompts.error(kNotCaptured);
    else
        // The cause (a full disk, a busy database) is the user's to mend: said below the text.
        m_prompts.error(kNotCaptured + QStringLiteral("\r\n") + m_lastFailure);
    return captured;
}

bool ProtocolCapture::selectRecordedDelivery()
{
    // The number as listed; the transmitter route keeps it unpadded, so the blanks do not count.
    m_jx.selectIntoGeral(QStringLiteral("SELECT * FROM ENTREGAS WHERE RTRIM(NUMEROPROTOCOLO) = RTRIM(:NUMERO)"),
        { { QStringLiteral("NUMERO"), m_jx.cdsProtocolosAux->text("PROTOCOLO") } });
    return !m_jx.cdsGeral->isEmpty();
}

bool ProtocolCapture::tryCapture()
{
    m_lastFailure.clear();
    try {
        return CapturarProtocoloDisquete();
    } catch (const ProgramEnd&) {
        throw;
    } catch (const std::exception& e) {
        // The routes show their own message; the cause goes to the error log too.
        m_lastFailure = db::failureText(e);
        m_jx.Config.logError(QString::fromLocal8Bit(e.what()));
        return false;
    }
}

bool ProtocolCapture::locateFiling(const QString& kind, const QString& identifier, const QString& momentDigits)
{
    const bool request = kind == QLatin1String("S");
    RecordSet& filings = request ? *m_jx.cdsSolicitacaoIE : *m_jx.cdsSolicitacao_Contab;
    if (!filings.isOpen())
        m_jx.openSet(filings);
    const QString idField = request ? QStringLiteral("CNPJ") : QStringLiteral("IDENTIFICACAO");
    // Several filings may share an identifier; the creation moment in the name tells them apart.
    for (int row = 0; row < filings.count(); ++row) {
        const int raw = filings.rawRowAt(row);
        if (filings.rawValue(raw, idField).toString() != identifier)
            continue;
        if (DataLayouts::momentDigits(filings.rawValue(raw, QStringLiteral("DATACRIACAO"))) != momentDigits)
            continue;
        filings.moveTo(row);
        return true;
    }
    return false;
}

bool ProtocolCapture::CapturarProtocoloDisquete()
{
    RecordSet& list = *m_jx.cdsProtocolosAux;
    const QString fileName = list.text("NOMEARQUIVO");
    TInfArquivo name;
    if (!LerNomeArquivo(fileName, name) || (name.tipo != QLatin1String("S") && name.tipo != QLatin1String("H")))
        return false;
    const bool request = name.tipo == QLatin1String("S");
    m_jx.TipoAtual = request ? 1 : 0;
    const QString moment = name.momentDigits();
    if (!locateFiling(name.tipo, name.identificador, moment))
        return false;
    RecordSet& filings = request ? *m_jx.cdsSolicitacaoIE : *m_jx.cdsSolicitacao_Contab;
    const qint64 id
        = filings.value(request ? QStringLiteral("ID_SOLICITACAO") : QStringLiteral("ID_SOLICITACAO_CONTABILISTA"))
              .toLongLong();
    DataLayouts(m_jx).AbrirEntregas(m_jx.TipoAtual, id);
    RecordSet& deliveries = *m_jx.cdsEntregas;
    // The row the diskette run created for this file on this very disk, still without protocol.
    const QString disk = diskIdentifier(m_drive);
    bool found = false;
    for (int r = 0; r < deliveries.count() && !found; ++r) {
        deliveries.moveTo(r);
        found = deliveries.text("NOMEARQUIVO") == fileName && deliveries.text("IDENTIFICADORDISQUETE") == disk
            && deliveries.text("NUMEROPROTOCOLO").isEmpty();
    }
    if (!found)
        return isTransmitted(list.text("CAMINHOARQUIVO")) && recordTransmitted(id);
    db::Transaction transaction(m_jx.database().connection());
    try {
        GravarProtocoloCapturado();
    } catch (...) {
        deliveries.cancel();
        deliveries.cancelUpdates();
        throw;
    }
    if (deliveries.hasPending()) {
        deliveries.cancelUpdates();
        return false;
    }
    try {
        transaction.commit();
    } catch (...) {
        // The set took the row as sent; the database did not keep it.
        DataLayouts(m_jx).AbrirEntregas(m_jx.TipoAtual, id);
        throw;
    }
    return true;
}

bool ProtocolCapture::isTransmitted(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return false;
    pugi::xml_document document;
    try {
        xmlpass::loadBytes(document, file.read(kMaxFileSize));
    } catch (const Error&) {
        return false;
    }
    // The transmitter route leaves the data section plain; the diskette route encrypts it.
    const pugi::xml_node section = document.document_element().child("dados");
    for (pugi::xml_node child = section.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element)
            return true;
    }
    return false;
}

bool ProtocolCapture::recordTransmitted(qint64 id)
{
    // A transmitted file whose record the run could not keep (it was kept aside): recorded as
    // the run would have, with the status "T".
    RecordSet& list = *m_jx.cdsProtocolosAux;
    RecordSet& deliveries = *m_jx.cdsEntregas;
    const bool request = m_jx.TipoAtual == 1;
    RecordSet& filings = request ? *m_jx.cdsSolicitacaoIE : *m_jx.cdsSolicitacao_Contab;
    db::Transaction transaction(m_jx.database().connection());
    try {
        deliveries.append();
        deliveries.setValue("IDENTIFICADORDISQUETE", QString());
        deliveries.setValue("VERSAOJXTRANSMISSAO", text::digitsOf(list.text("VERSAO")));
        deliveries.setValue("VERIFICADORINTEGRIDADE", list.text("HAS"));
        deliveries.setValue("NOMEARQUIVO", unregistered::originalName(list.text("NOMEARQUIVO")));
        deliveries.setValue("NUMEROPROTOCOLO", list.text("PROTOCOLO").trimmed());
        const QDate date = list.value("DATA").toDate();
        const QTime time = QTime::fromString(list.text("HORA"), QStringLiteral("HH:mm:ss"));
        deliveries.setValue("DATAHORAPROTOCOLO",
            date.isValid() ? QVariant(RecordSet::storedMoment(date, time.isValid() ? time : QTime(0, 0))) : QVariant());
        deliveries.setValue("FORMAENTREGA", "T");
        deliveries.setValue(request ? QStringLiteral("SOLICITACAO_ID") : QStringLiteral("HABILITACAO_ID"), id);
        Receipts receipts(m_jx);
        if (request)
            receipts.GerarReciboSolicitacao();
        else
            receipts.GerarReciboHabilitacao();
        deliveries.post();
        if (!m_jx.apply(deliveries, 0, true))
            throw Error(QStringLiteral("O registro da entrega não foi gravado."));
        filings.edit();
        filings.setValue("STATUS", "T");
        filings.post();
        if (!m_jx.apply(filings, -1, true))
            throw Error(QStringLiteral("A situação da solicitação não foi gravada."));
        transaction.commit();
    } catch (...) {
        for (RecordSet* set : { &deliveries, &filings }) {
            set->cancel();
            set->cancelUpdates();
        }
        transaction.rollback();
        m_jx.reopenAt(filings, id);
        DataLayouts(m_jx).AbrirEntregas(m_jx.TipoAtual, id);
        throw;
    }
    return true;
}

void ProtocolCapture::GravarProtocoloCapturado()
{
    RecordSet& list = *m_jx.cdsProtocolosAux;
    RecordSet& deliveries = *m_jx.cdsEntregas;
    deliveries.edit();
    deliveries.setValue("NUMEROPROTOCOLO", list.text("PROTOCOLO"));
    const QDate date = list.value("DATA").toDate();
    const QTime time = QTime::fromString(list.text("HORA"), QStringLiteral("HH:mm:ss"));
    // To the minute: the seconds are dropped. As the authority wrote it: a local clock would
    // refuse an hour that daylight saving skips.
    deliveries.setValue("DATAHORAPROTOCOLO",
        date.isValid()
            ? QVariant(RecordSet::storedMoment(date, time.isValid() ? QTime(time.hour(), time.minute()) : QTime(0, 0)))
            : QVariant());
    deliveries.setValue("VERSAOJXTRANSMISSAO", text::digitsOf(list.text("VERSAO")));
    deliveries.setValue("VERIFICADORINTEGRIDADE", list.text("HAS"));
    Receipts receipts(m_jx);
    if (m_jx.TipoAtual == 1)
        receipts.GerarReciboSolicitacao();
    else
        receipts.GerarReciboHabilitacao();
    deliveries.post();
    m_jx.apply(deliveries, 0, false);
}

} // namespace jx

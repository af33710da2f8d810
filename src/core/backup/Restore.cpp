#include "backup/Restore.h"

#include "Error.h"
#include "data/TdtmJX.h"
#include "db/Sqlite.h"
#include "delivery/DataLayouts.h"
#include "delivery/DeliveryCrypto.h"
#include "delivery/FileGeneration.h"
#include "delivery/RsaBlockCipher.h"
#include "delivery/RsaKey.h"
#include "delivery/XmlLibraryPass.h"
#include "platform/UserPrompts.h"
#include "text/Masks.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pugixml.hpp>

namespace jx {

using restore::Kind;
using restore::RestorePlan;
using restore::Values;

namespace {

// Reading failures: a request says the format is wrong, an enablement that it could not read.
[[noreturn]] void unreadable(Kind kind, const QString& reason)
{
    throw Error((kind == Kind::Request ? restore::kInvalidFormat : Restore::kReadFailed) + QStringLiteral("\r\n") + reason);
}

[[noreturn]] void invalid(const QString& reason)
{
    throw Error(restore::kInvalidFormat + QStringLiteral("\r\n") + reason);
}

QByteArray readBounded(const QString& file, Kind kind)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        unreadable(kind, QStringLiteral("Não foi possível abrir o arquivo: %1").arg(f.errorString()));
    const QByteArray bytes = f.read(restore::kMaxFileSize + 1);
    if (bytes.size() > restore::kMaxFileSize)
        unreadable(kind, QStringLiteral("O arquivo passa de %1 MB.").arg(restore::kMaxFileSize / (1024 * 1024)));
    if (f.error() != QFileDevice::NoError)
        unreadable(kind, f.errorString());
    return bytes;
}

// The same failure with another text: a failure of the database stays one.
[[noreturn]] void rethrow(const Error& e, const QString& text)
{
    if (dynamic_cast<const restore::DatabaseFailure*>(&e))
        throw restore::DatabaseFailure(text, e.detail());
    throw Error(text, e.detail());
}

[[noreturn]] void rethrow(const db::DbError& e, const QString& prefix)
{
    const QString text = prefix + db::userMessage(e.code(), e.message());
    if (e.isRefusedValue())
        throw Error(text);
    throw restore::DatabaseFailure(text, e.message());
}

// Runs one write; its failure reaches the user behind the record's message.
template <typename F>
auto recording(const QString& message, F&& step)
{
    try {
        return step();
    } catch (const db::DbError& e) {
        rethrow(e, message);
    } catch (const Error& e) {
        rethrow(e, message + e.userText());
    }
}

QString maskedIdentifier(const QString& identifier, bool cpf)
{
    return masks::apply(identifier, cpf ? masks::kCpfDisplay : masks::kCnpjDisplay).trimmed();
}

} // namespace

Restore::Restore(TdtmJX& jx, UserPrompts& prompts, const QString& programFolder)
    : m_jx(jx)
    , m_prompts(prompts)
    , m_programFolder(programFolder)
    , m_keysFolder(jx.crypto().keysFolder())
{
}

QString Restore::requestExistsText(const QString& maskedCnpj)
{
    return QStringLiteral("Solicitação já existente com o CNPJ ") + maskedCnpj + QStringLiteral(". \r\n")
        + QStringLiteral("Não é possível restaurá-la!");
}

QString Restore::enablementExistsText(const QString& maskedIdentification)
{
    return QStringLiteral("Habilitação já existente com a Identificação ") + maskedIdentification
        + QStringLiteral(". \r\n") + QStringLiteral("Não é possível restaurá-la!");
}

void Restore::ListarArquivosRestauracao(const QString& kind, const QString& folder)
{
    data::RecordSet& list = *m_jx.cdsRestauracaoAux;
    list.clearRows();
    const QDir dir(folder);
    const bool copies = kind == QLatin1String("B");
    const QStringList names
        = dir.entryList({ copies ? QStringLiteral("*.bkp") : QStringLiteral("*.xml") }, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        TInfArquivo info;
        if (!LerNomeArquivo(name, info) || info.tipo != kind)
            continue;
        const QFileInfo file(dir.filePath(name));
        const QDateTime modified = file.lastModified();
        list.append();
        list.setValue(QStringLiteral("Arquivo"), QDir::cleanPath(folder) + u'/' + name);
        list.setValue(QStringLiteral("Data"), modified.toString(QStringLiteral("dd/MM/yyyy")));
        list.setValue(QStringLiteral("Hora"), modified.toString(QStringLiteral("HH:mm")));
        if (!copies) {
            list.setValue(QStringLiteral("Tipo"), info.tipoIdentificador);
            list.setValue(QStringLiteral("Identificador"),
                maskedIdentifier(info.identificador, info.tipoIdentificador == QLatin1String("CPF")));
            // The header's protocol, read as any other part of the file: bounded, never trusted.
            QString status;
            try {
                pugi::xml_document document;
                xmlpass::loadBytes(document, readBounded(file.filePath(), Kind::Request));
                if (!xmlpass::textAt(document, { "cabecalho", "protocolo", "numero" }).trimmed().isEmpty())
                    status = QStringLiteral("Transmitido");
            } catch (const Error&) {
            }
            list.setValue(QStringLiteral("Status"), status);
        }
        list.post();
    }
    list.first();
}

bool Restore::RestaurarSolicitacao()
{
    m_jx.TipoAtual = 1;
    return restaurar(Kind::Request);
}

bool Restore::RestaurarHabilitacao()
{
    m_jx.TipoAtual = 0;
    return restaurar(Kind::Enablement);
}

bool Restore::restaurar(Kind kind)
{
    const data::RecordSet& list = *m_jx.cdsRestauracaoAux;
    try {
        if (list.isEmpty())
            throw Error(QStringLiteral("Nenhum arquivo foi selecionado."));
        const Outcome outcome = restoreFile(list.text(QStringLiteral("Arquivo")), kind);
        if (!outcome.refused.isEmpty()) {
            m_prompts.error(outcome.refused);
            return false;
        }
        m_prompts.information(kDone);
        return true;
    } catch (const db::DbError& e) {
        m_prompts.error(kFailed + db::userMessage(e.code(), e.message()));
    } catch (const Error& e) {
        m_prompts.error(kFailed + e.userText());
    }
    return false;
}

QString Restore::mismatchText(const QString& file, const RestorePlan& plan)
{
    const bool request = plan.kind == Kind::Request;
    const bool cpf = !request && restore::valueOf(plan.filing, QStringLiteral("TIPO_IDENTIFICACAO")).toInt() == 4;
    const QString digits = DataLayouts::momentDigits(restore::valueOf(plan.filing, QStringLiteral("DATACRIACAO")));
    const QString moment = digits.isEmpty() ? QStringLiteral("sem data de criação")
                                            : QStringLiteral("criada em ")
            + QDateTime::fromString(digits, QStringLiteral("yyyyMMddHHmmss"))
                  .toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    return QStringLiteral("O conteúdo do arquivo %1 não corresponde ao seu nome.\r\n")
               .arg(QDir::toNativeSeparators(file))
        + (request ? QStringLiteral("Ele contém a solicitação do CNPJ ")
                   : QStringLiteral("Ele contém a habilitação da Identificação "))
        + maskedIdentifier(plan.identifier(), cpf) + u' ' + moment + QStringLiteral(".\r\nNão é possível restaurá-lo!");
}

Restore::Outcome Restore::restoreFile(const QString& file, Kind kind)
{
    TInfArquivo info;
    const bool request = kind == Kind::Request;
    if (!LerNomeArquivo(QFileInfo(file).fileName(), info) || info.tipo != (request ? u"S" : u"H"))
        throw Error(QStringLiteral("O nome do arquivo não é de um arquivo do JX deste tipo: %1").arg(file));
    const RestorePlan plan = readPlan(file, kind);
    // Judged by the filing inside: a name is only a name, and a renamed copy of a stored
    // filing must not come in again as a new one.
    const QString identifier = plan.identifier();
    const QString moment = DataLayouts::momentDigits(restore::valueOf(plan.filing, QStringLiteral("DATACRIACAO")));
    Outcome outcome;
    outcome.refused = duplicate(kind, identifier, moment);
    if (!outcome.refused.isEmpty())
        return outcome;
    const bool cpf = !request && restore::valueOf(plan.filing, QStringLiteral("TIPO_IDENTIFICACAO")).toInt() == 4;
    const QString type = cpf ? QStringLiteral("CPF") : QStringLiteral("CNPJ");
    if (identifier != info.identificador || moment != info.momentDigits() || type != info.tipoIdentificador) {
        outcome.refused = mismatchText(file, plan);
        return outcome;
    }
    const Written written = importar(file, plan);
    outcome.key = written.key;
    const qsizetype total = qsizetype(plan.deliveries.size());
    for (qsizetype d = written.deliveries; d < total; ++d) {
        const QString protocol
            = restore::valueOf(plan.deliveries[size_t(d)].values, QStringLiteral("NUMEROPROTOCOLO")).toString();
        outcome.droppedDeliveries << QStringLiteral("Entrega %1 de %2%3 não restaurada: %4")
                                         .arg(d + 1)
                                         .arg(total)
                                         .arg(protocol.isEmpty() ? QString()
                                                                 : QStringLiteral(" (protocolo %1)").arg(protocol),
                                             d == written.deliveries ? written.deliveryError
                                                                     : QStringLiteral("segue uma entrega que falhou."));
    }
    return outcome;
}

QString Restore::duplicate(Kind kind, const QString& identifier, const QString& momentDigits)
{
    const bool request = kind == Kind::Request;
    // Every filing of that identifier, filtered out or not; moments compared by their digits
    // so that one created at midnight (written without its time) is still recognised.
    db::Statement s = m_jx.database().connection().prepare(request
            ? QStringLiteral("SELECT CNPJ, DATACRIACAO, 3 FROM SOLICITACAO_IE WHERE CNPJ = :ID")
            : QStringLiteral(
                  "SELECT IDENTIFICACAO, DATACRIACAO, TIPO_IDENTIFICACAO FROM SOLICITACAO_CONTAB WHERE IDENTIFICACAO = :ID"));
    s.bind(QStringLiteral(":ID"), identifier);
    while (s.step()) {
        if (DataLayouts::momentDigits(s.value(1)) != momentDigits)
            continue;
        const QString masked = maskedIdentifier(s.text(0), s.int64(2) == 4);
        return request ? requestExistsText(masked) : enablementExistsText(masked);
    }
    return {};
}

QByteArray Restore::decryptedData(const QString& file, Kind kind) const
{
    const QByteArray bytes = readBounded(file, kind);
    restore::refuseForeignMarkup(bytes);
    pugi::xml_document document;
    try {
        xmlpass::loadBytes(document, bytes);
    } catch (const Error& e) {
        invalid(e.userText());
    }
    const pugi::xml_node root = document.document_element();
    const pugi::xml_node section = root.child("dados");
    if (QByteArray(root.name()) != "arquivo" || !section)
        invalid(QStringLiteral("O arquivo não tem a seção <dados> de um arquivo do JX."));
    if (section.first_child().type() == pugi::node_element)
        invalid(QStringLiteral("A seção de dados não está criptografada (arquivo do transmissor): não pode ser restaurada."));
    const QByteArray cipher = QByteArray(section.text().get()).trimmed();
    if (cipher.isEmpty())
        invalid(QStringLiteral("A seção de dados está vazia."));
    // The key is the installation's: its failure is not the file's, and is said as it is.
    const RsaKey key = RsaKey::load(QDir(m_keysFolder).filePath(QString::fromLatin1(kPrivateKeyFile)));
    try {
        return rsa::decrypt(cipher, key);
    } catch (const Error& e) {
        invalid(QStringLiteral("Os dados não puderam ser descriptografados: ") + e.userText());
    }
}

qint64 Restore::ImportarSolicitacao(const QString& file)
{
    return importar(file, readPlan(file, Kind::Request)).key;
}

qint64 Restore::ImportarHabilitacao(const QString& file)
{
    return importar(file, readPlan(file, Kind::Enablement)).key;
}

RestorePlan Restore::readPlan(const QString& file, Kind kind) const
{
    try {
        return restore::parseBackup(decryptedData(file, kind), kind);
    } catch (const Error& e) {
        throw Error(e.userText() + QStringLiteral("\r\nArquivo: ") + QDir::toNativeSeparators(file), e.detail());
    }
}

Restore::Written Restore::importar(const QString& file, const RestorePlan& plan)
{
    Written written;
    try {
        try {
            written = write(plan);
        } catch (const db::DbError& e) {
            rethrow(e, restore::kImportFailed);
        } catch (const Error& e) {
            rethrow(e, restore::kImportFailed + e.userText());
        }
    } catch (const Error& e) {
        reload(plan.kind);
        rethrow(e, e.userText() + QStringLiteral("\r\nArquivo: ") + QDir::toNativeSeparators(file));
    }
    reload(plan.kind);
    // Shown once committed: nothing waits for the user while the transaction is open.
    if (!written.deliveryError.isEmpty())
        m_prompts.message(written.deliveryError);
    return written;
}

QVariant Restore::lookup(const QString& sql, const QString& text)
{
    if (text.isEmpty())
        return {};
    db::Statement s = m_jx.database().connection().prepare(sql);
    s.bind(QStringLiteral(":T"), text);
    return s.step() ? s.value(0) : QVariant();
}

qint64 Restore::insert(const char* table, const Values& values)
{
    db::Connection& c = m_jx.database().connection();
    QStringList columns;
    QStringList marks;
    for (const auto& [column, value] : values) {
        columns << column;
        marks << u':' + column;
    }
    db::Statement s = c.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                    .arg(QLatin1String(table), columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
    for (const auto& [column, value] : values)
        s.bind(u':' + column, value);
    s.run();
    return c.lastInsertId();
}

qint64 Restore::insertAddress(const restore::Address& address, bool enablement)
{
    Values values = address.values;
    // No reference row for the text: no value, rather than some other row's code.
    values.emplace_back(QStringLiteral("ID_UF"),
        lookup(QStringLiteral("SELECT ID_UF FROM UF WHERE SIGLA = :T ORDER BY rowid LIMIT 1"), address.uf));
    for (auto& [column, value] : values) {
        if (column != QLatin1String("LOCALIDADE"))
            continue;
        const QVariant known = locality(value.toString(), address.uf);
        // A request keeps a name the table does not know; an enablement's município is one of it.
        if (enablement || !known.isNull())
            value = known;
    }
    return insert("ENDERECO", values);
}

namespace {

// Accents and case aside: backups made before they kept the typed text wrote names without
// their accents.
QString folded(const QString& text)
{
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
    }
    return out.toUpper().simplified();
}

} // namespace

QVariant Restore::locality(const QString& name, const QString& uf)
{
    if (name.trimmed().isEmpty())
        return {};
    const QVariant exact
        = lookup(QStringLiteral("SELECT NOME FROM LOCALIDADE WHERE NOME = :T ORDER BY rowid LIMIT 1"), name);
    if (!exact.isNull())
        return exact;
    const QString wanted = folded(name);
    db::Statement s = m_jx.database().connection().prepare(QStringLiteral(
        "SELECT L.NOME, ifnull(U.SIGLA, '') FROM LOCALIDADE L LEFT JOIN UF U ON U.ID_UF = L.ID_UF ORDER BY L.rowid"));
    QVariant found;
    while (s.step()) {
        if (folded(s.text(0)) != wanted)
            continue;
        // The address's own state first, when names repeat across states.
        if (s.text(1) == uf)
            return s.value(0);
        if (found.isNull())
            found = s.value(0);
    }
    return found;
}

Restore::Written Restore::write(const RestorePlan& plan)
{
    using namespace restore;
    // Joining a transaction left open by an edit would commit or lose the edit with the restore.
    if (m_jx.database().connection().inTransaction())
        throw Error(QStringLiteral("Há uma edição em andamento: conclua-a ou cancele-a antes de restaurar."));
    db::Transaction transaction(m_jx.database().connection());
    const bool request = plan.kind == Kind::Request;
    qint64 key = 0;
    if (request) {
        const qint64 establishment
            = recording(kEstablishmentAddress, [&] { return insertAddress(*plan.address, false); });
        const qint64 correspondence = plan.correspondence
            ? recording(kCorrespondenceAddress, [&] { return insertAddress(*plan.correspondence, false); })
            : 0;
        const qint64 contact
            = plan.contact ? recording(kRequestContact, [&] { return insert("COMUNICACAO", *plan.contact); }) : 0;
        key = recording(kRequest, [&] {
            Values row = plan.filing;
            row.emplace_back(QStringLiteral("VINCULO"),
                lookup(QStringLiteral("SELECT ID_VINCULO FROM VINCULO WHERE DESCRICAO = :T ORDER BY rowid LIMIT 1"),
                    plan.vinculo));
            row.emplace_back(QStringLiteral("ID_ENDERECO_ESTABELECIMENTO"), establishment);
            row.emplace_back(QStringLiteral("ID_ENDERECO_CORRESPONDECIA"), correspondence);
            row.emplace_back(QStringLiteral("ID_COMUNICACAO_EMPRESA"), contact);
            return insert("SOLICITACAO_IE", row);
        });
        const auto people = [&](const std::vector<Person>& persons, const char* table, const QString& message,
                                const QString& addressMessage, const QString& contactMessage) {
            for (const Person& p : persons) {
                recording(message, [&] {
                    Values row = p.values;
                    row.emplace_back(QStringLiteral("ID_SOLICITACAO"), key);
                    row.emplace_back(QStringLiteral("ID_ENDERECO"),
                        p.address ? recording(addressMessage, [&] { return insertAddress(*p.address, false); }) : 0);
                    row.emplace_back(QStringLiteral("ID_COMUNICACAO"),
                        p.contact ? recording(contactMessage, [&] { return insert("COMUNICACAO", *p.contact); }) : 0);
                    return insert(table, row);
                });
            }
        };
        people(plan.partners, "SOLICITACAO_IE_SOCIO", kPartner, kPartnerAddress, kPartnerContact);
        people(plan.responsibles, "SOLICITACAO_IE_RESPONSAVEL", kResponsible, kResponsibleAddress, kResponsibleContact);
        for (const QString& ie : plan.linkedIe) {
            recording(kLinkedIe, [&] {
                return insert("SOLICITACAO_IE_VINCULADO", { { QStringLiteral("ID_SOLICITACAO"), key }, { QStringLiteral("IE"), ie } });
            });
        }
        for (const Values& cnpj : plan.linkedCnpj) {
            recording(kLinkedCnpj, [&] {
                Values row = cnpj;
                row.emplace_back(QStringLiteral("ID_SOLICITACAO"), key);
                return insert("SOLICITACAO_CNPJ_VINCULADO", row);
            });
        }
    } else {
        // An enablement stored without address or contact comes back without them.
        const QVariant address = plan.address
            ? QVariant(recording(kEnablementAddress, [&] { return insertAddress(*plan.address, true); }))
            : QVariant();
        const QVariant contact = plan.contact
            ? QVariant(recording(kEnablementContact, [&] { return insert("COMUNICACAO", *plan.contact); }))
            : QVariant();
        key = recording(kEnablement, [&] {
            Values row = plan.filing;
            row.emplace_back(QStringLiteral("ID_ENDERECO"), address);
            row.emplace_back(QStringLiteral("ID_COMUNICACAO"), contact);
            return insert("SOLICITACAO_CONTAB", row);
        });
    }
    // A delivery that fails leaves none of its row and ends the deliveries; the filing stays.
    Written written;
    written.key = key;
    for (const Delivery& d : plan.deliveries) {
        if (!d.error.isEmpty()) {
            written.deliveryError = d.error;
            break;
        }
        db::Savepoint savepoint(m_jx.database().connection(), QStringLiteral("restaurar_entrega"));
        try {
            Values row = d.values;
            row.emplace_back(QStringLiteral("SOLICITACAO_ID"), request ? QVariant(key) : QVariant());
            row.emplace_back(QStringLiteral("HABILITACAO_ID"), request ? QVariant() : QVariant(key));
            insert("ENTREGAS", row);
            savepoint.release();
            ++written.deliveries;
        } catch (const db::DbError& e) {
            // The database failing (not the record) fails the whole import.
            if (!e.isRefusedValue())
                throw;
            savepoint.rollback();
            written.deliveryError = db::userMessage(e.code(), e.message());
            break;
        }
    }
    transaction.commit();
    return written;
}

void Restore::reload(Kind kind)
{
    data::RecordSet& filings = kind == Kind::Request ? *m_jx.cdsSolicitacaoIE : *m_jx.cdsSolicitacao_Contab;
    const QVariant current = filings.isEmpty() ? QVariant() : filings.value(filings.keyField());
    m_jx.reopenAt(filings, current);
}

} // namespace jx

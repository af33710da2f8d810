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

// Runs one write; its failure reaches the user behind the record's message.
template <typename F>
auto recording(const QString& message, F&& step)
{
    try {
        return step();
    } catch (const db::DbError& e) {
        throw Error(message + db::userMessage(e.code(), e.message()));
    } catch (const Error& e) {
        throw Error(message + e.userText());
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
        const QString file = list.text(QStringLiteral("Arquivo"));
        TInfArquivo info;
        const QString letter = kind == Kind::Request ? QStringLiteral("S") : QStringLiteral("H");
        if (!LerNomeArquivo(QFileInfo(file).fileName(), info) || info.tipo != letter)
            throw Error(QStringLiteral("O nome do arquivo não é de um arquivo do JX deste tipo: %1").arg(file));
        const QString digits = info.momentDigits();
        const QString existing = duplicate(kind, info.identificador, digits);
        if (!existing.isEmpty()) {
            m_prompts.error(existing);
            return false;
        }
        importar(file, kind);
        m_prompts.information(kDone);
        return true;
    } catch (const db::DbError& e) {
        m_prompts.error(kFailed + db::userMessage(e.code(), e.message()));
    } catch (const Error& e) {
        m_prompts.error(kFailed + e.userText());
    }
    return false;
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
    return importar(file, Kind::Request);
}

qint64 Restore::ImportarHabilitacao(const QString& file)
{
    return importar(file, Kind::Enablement);
}

qint64 Restore::importar(const QString& file, Kind kind)
{
    QStringList deliveryErrors;
    qint64 key = 0;
    try {
        const RestorePlan plan = restore::parseBackup(decryptedData(file, kind), kind);
        try {
            key = write(plan, deliveryErrors);
        } catch (const db::DbError& e) {
            throw Error(restore::kImportFailed + db::userMessage(e.code(), e.message()));
        } catch (const Error& e) {
            throw Error(restore::kImportFailed + e.userText());
        }
    } catch (const Error& e) {
        reload(kind);
        throw Error(e.userText() + QStringLiteral("\r\nArquivo: ") + QDir::toNativeSeparators(file), e.detail());
    }
    reload(kind);
    // Shown once committed: nothing waits for the user while the transaction is open.
    for (const QString& text : std::as_const(deliveryErrors))
        m_prompts.message(text);
    return key;
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
    if (enablement) {
        for (auto& [column, value] : values) {
            if (column == QLatin1String("LOCALIDADE"))
                value = lookup(QStringLiteral("SELECT NOME FROM LOCALIDADE WHERE NOME = :T ORDER BY rowid LIMIT 1"),
                    value.toString());
        }
    }
    return insert("ENDERECO", values);
}

qint64 Restore::write(const RestorePlan& plan, QStringList& deliveryErrors)
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
        const qint64 address = recording(kEnablementAddress, [&] { return insertAddress(*plan.address, true); });
        const qint64 contact = recording(kEnablementContact, [&] { return insert("COMUNICACAO", *plan.contact); });
        key = recording(kEnablement, [&] {
            Values row = plan.filing;
            row.emplace_back(QStringLiteral("ID_ENDERECO"), address);
            row.emplace_back(QStringLiteral("ID_COMUNICACAO"), contact);
            return insert("SOLICITACAO_CONTAB", row);
        });
    }
    // A delivery that fails leaves none of its row and ends the deliveries; the filing stays.
    for (const Delivery& d : plan.deliveries) {
        if (!d.error.isEmpty()) {
            deliveryErrors << d.error;
            break;
        }
        db::Savepoint savepoint(m_jx.database().connection(), QStringLiteral("restaurar_entrega"));
        try {
            Values row = d.values;
            row.emplace_back(QStringLiteral("SOLICITACAO_ID"), request ? QVariant(key) : QVariant());
            row.emplace_back(QStringLiteral("HABILITACAO_ID"), request ? QVariant() : QVariant(key));
            insert("ENTREGAS", row);
            savepoint.release();
        } catch (const db::DbError& e) {
            savepoint.rollback();
            deliveryErrors << db::userMessage(e.code(), e.message());
            break;
        }
    }
    transaction.commit();
    return key;
}

void Restore::reload(Kind kind)
{
    data::RecordSet& filings = kind == Kind::Request ? *m_jx.cdsSolicitacaoIE : *m_jx.cdsSolicitacao_Contab;
    const QVariant current = filings.isEmpty() ? QVariant() : filings.value(filings.keyField());
    m_jx.reopenAt(filings, current);
}

} // namespace jx

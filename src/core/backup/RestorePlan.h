#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <utility>
#include <vector>

// What a restore would write, read from a backup file's decrypted data section without a
// database: the rows of one filing with their values already converted to the stored form
// and checked against their columns. Reference texts (UF, vínculo, município) are kept as
// written; the import looks them up.
namespace jx::restore {

enum class Kind { Request, Enablement };

// Stored values by column, in the order they were read.
using Values = std::vector<std::pair<QString, QVariant>>;

QVariant valueOf(const Values& values, const QString& column);

struct Address {
    Values values; // ENDERECO columns but ID_UF
    QString uf; // the SIGLA as written
};

struct Person {
    Values values;
    std::optional<Address> address; // none: key 0
    std::optional<Values> contact; // none: key 0
};

// A delivery record; a value it cannot hold makes it fail alone (the import shows why).
struct Delivery {
    Values values;
    QString error;
};

struct RestorePlan {
    Kind kind = Kind::Request;
    Values filing;
    QString vinculo; // request: the DESCRICAO of its VINCULO, as written
    std::optional<Address> address; // the establishment's, or the enablement's
    std::optional<Address> correspondence;
    std::optional<Values> contact; // none: key 0 (request only)
    std::vector<Person> partners;
    std::vector<Person> responsibles;
    QStringList linkedIe;
    std::vector<Values> linkedCnpj;
    std::vector<Delivery> deliveries;

    // The filing's CNPJ, or the enablement's identification.
    QString identifier() const;
};

// Files from outside are read at most this far.
inline constexpr qint64 kMaxFileSize = 8 * 1024 * 1024;

// The plan from the decrypted data section (ISO-8859-1 bytes: the filing element and its
// deliveries). Throws jx::Error with the messages of the records the file could not give.
RestorePlan parseBackup(const QByteArray& dataSection, Kind kind);

// Refuses markup a backup never holds: declarations (<!DOCTYPE, <!ENTITY, comments,
// CDATA) and entity references other than the five predefined ones and character
// references. Throws jx::Error.
void refuseForeignMarkup(const QByteArray& bytes);

// The import's failures reach the user behind this, then the record's message.
inline const QString kImportFailed = QStringLiteral("Erro na Restauração do arquivo:\r\n");
inline const QString kInvalidFormat = QStringLiteral("Formato de arquivo inválido!");
inline const QString kEnablementAddress
    = QStringLiteral("Erro ao gravar o Endereço da Habilitação de Contabilista: \r\n");
inline const QString kEnablementContact
    = QStringLiteral("Erro ao gravar a Comunicação da Habilitação de Contabilista: \r\n");
inline const QString kEnablement = QStringLiteral("Erro ao gravar Solicitação: \r\n");
inline const QString kEstablishmentAddress
    = QStringLiteral("Erro ao gravar o Endereço do Estabelecimento da Solicitação de Inscrição Estadual: \r\n");
inline const QString kCorrespondenceAddress
    = QStringLiteral("Erro ao gravar o Endereço de Correspondência da Solicitação de Inscrição Estadual: \r\n");
inline const QString kRequestContact
    = QStringLiteral("Erro ao gravar a Comunicação da Solicitação de Inscrição Estadual: \r\n");
inline const QString kRequest = QStringLiteral("Erro ao gravar a Solicitação de Inscrição Estadual: \r\n");
inline const QString kPartner = QStringLiteral("Erro ao gravar o Sócio da Solicitação de Inscrição Estadual: \r\n");
inline const QString kPartnerAddress
    = QStringLiteral("Erro ao gravar o Endereço do Sócio da Solicitação de Inscrição Estadual: \r\n");
inline const QString kPartnerContact
    = QStringLiteral("Erro ao gravar a Comunicação do Sócio da Solicitação de Inscrição Estadual: \r\n");
inline const QString kResponsible
    = QStringLiteral("Erro ao gravar o Responsável da Solicitação de Inscrição Estadual: \r\n");
inline const QString kResponsibleAddress
    = QStringLiteral("Erro ao gravar o Endereço do Responsável da Solicitação de Inscrição Estadual: \r\n");
inline const QString kResponsibleContact
    = QStringLiteral("Erro ao gravar a Comunicação do Responsável da Solicitação de Inscrição Estadual: \r\n");
inline const QString kLinkedIe = QStringLiteral(
    "Erro ao gravar a Inscrição Estadual Incorporada/Fundida/Cindida da Solicitação de Inscrição Estadual: \r\n");
inline const QString kLinkedCnpj
    = QStringLiteral("Erro ao gravar o CNPJ Vinculado da Solicitação de Inscrição Estadual: \r\n");

} // namespace jx::restore

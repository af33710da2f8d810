#pragma once

// The database the benchmarks read: a fresh one in a temporary program folder, and the
// requests they work on.

#include "db/ReferenceData.h"
#include "db/Schema.h"
#include "db/Sqlite.h"

#include <QDir>
#include <QTemporaryDir>

namespace jxbench {

inline QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

inline QString databasePath()
{
    return QDir(folder().path()).filePath("Banco/JX.mdb");
}

// A new, empty database in the folder.
inline void createDatabase()
{
    QDir(folder().path()).mkpath("Banco");
    jx::db::createDatabase(databasePath());
}

// Requests with three partners and one responsible person, each with address and contact.
inline void fillRequests(int count)
{
    jx::db::Connection c;
    c.open(databasePath(), jx::db::kDatabaseKey);
    c.begin();
    jx::db::Statement address = c.prepare("INSERT INTO ENDERECO (CEP, ID_UF, LOCALIDADE, TIPO_LOGRADOURO, LOGRADOURO) "
                                          "VALUES ('70000123', 10, 'CIDADE', 1, 'DAS FLORES')");
    jx::db::Statement contact = c.prepare("INSERT INTO COMUNICACAO (TELEFONE, EMAIL) VALUES ('6133334444', 'a@b.com')");
    jx::db::Statement request = c.prepare(
        "INSERT INTO SOLICITACAO_IE (CNPJ, CATEGORIA, VINCULO, LOCALIZACAO, INSCRICAO_UNICA, SUBSTITUTO_TRIBUTARIO, "
        "NOME_EMPRESARIAL, ID_ENDERECO_ESTABELECIMENTO, ID_COMUNICACAO_EMPRESA, ID_CNAEF_PRINCIPAL, RECEITA_BRUTA) "
        "VALUES ('11222333000181', 1, 1, 1, 'N', 'N', 'EMPRESA', ?, ?, 1147, 10000000)");
    jx::db::Statement partner = c.prepare(
        "INSERT INTO SOLICITACAO_IE_SOCIO (ID_SOLICITACAO, TIPO_IDENTIFICACAO, IDENTIFICACAO, RESPONSAVEL_MASTER, "
        "PARTICIPACAO, PARTICIPACAO_DATA_INICIO, DATA_NASCIMENTO, ID_ENDERECO, ID_COMUNICACAO) VALUES (?, 4, "
        "'52998224725', ?, 33.3, '2005-02-01', '1970-02-01', ?, ?)");
    jx::db::Statement responsible = c.prepare(
        "INSERT INTO SOLICITACAO_IE_RESPONSAVEL (ID_SOLICITACAO, IDENTIFICACAO, ID_FUNCAO, DATA_INICIO, ID_ENDERECO, "
        "ID_COMUNICACAO) VALUES (?, '11144477735', 1, '2005-02-01', ?, ?)");
    auto insert = [&c](jx::db::Statement& s) {
        s.reset();
        s.run();
        return c.lastInsertId();
    };
    for (int i = 1; i <= count; ++i) {
        const qint64 a = insert(address);
        const qint64 m = insert(contact);
        request.reset();
        request.bind(1, a);
        request.bind(2, m);
        request.run();
        const qint64 id = c.lastInsertId();
        for (int p = 0; p < 3; ++p) {
            const qint64 pa = insert(address);
            const qint64 pm = insert(contact);
            partner.reset();
            partner.bind(1, id);
            partner.bind(2, p == 0 ? "S" : "N");
            partner.bind(3, pa);
            partner.bind(4, pm);
            partner.run();
        }
        const qint64 ra = insert(address);
        const qint64 rm = insert(contact);
        responsible.reset();
        responsible.bind(1, id);
        responsible.bind(2, ra);
        responsible.bind(3, rm);
        responsible.run();
    }
    c.commit();
}

// What the verification needs beyond the common rows, and one creation moment per request so
// that every file has its own name.
inline void completeRequests()
{
    jx::db::Connection c;
    c.open(databasePath(), jx::db::kDatabaseKey);
    c.exec("UPDATE SOLICITACAO_IE SET STATUS = 'C', DATASOLICITACAOIE = '2026-12-01', DATA_INICIO_ATIVIDADE = "
           "'2005-02-01', ID_REGIME_RECOLHIMENTO = 3, ID_FORMA_COMERCIALIZACAO = (SELECT MIN(CODIGO) FROM "
           "FORMA_COMERCIALIZACAO), ID_NATUREZA_JURIDICA = (SELECT MIN(ID_NATUREZAJUD) FROM NATUREZA_JURIDICA), "
           "DATACRIACAO = datetime('2026-01-01 00:00:00', '+' || ID_SOLICITACAO || ' seconds'), ID_CNAEF_PRINCIPAL = "
           "(SELECT ID_CNAEF FROM CNAEF P WHERE length(trim(COD_FORMATADO)) = 9 AND INFORMA_CNPJ_VINC <> 'S' AND NOT "
           "EXISTS (SELECT 1 FROM CNAEF D WHERE D.COD_TIPO = 6 AND D.COD_CNAEF_SUPERIOR = CAST(P.ID_CNAEF AS "
           "INTEGER)) AND NOT EXISTS (SELECT 1 FROM CNAEF_CAE L WHERE L.ID_CNAEF = P.ID_CNAEF) LIMIT 1)");
}

} // namespace jxbench

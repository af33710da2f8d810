#pragma once

#include "db/Sqlite.h"

#include "InsertRow.h"
#include "RequestFixture.h"

namespace jxtest {

// Filings written straight into the tables: three requests, the middle one full (partners,
// responsible persons, linked lists, addresses, deliveries), and three enablements, the
// middle one full.
class StoredFilings : public RequestFixture {
protected:
    qint64 insert(const char* table, const QVariantMap& values)
    {
        return insertRow(m_db->connection(), table, values);
    }

    qint64 address(const QVariantMap& values) { return insert("ENDERECO", values); }
    qint64 contact(const QVariantMap& values) { return insert("COMUNICACAO", values); }

    // Three requests; the middle one is full and owns a delivery just given its protocol.
    qint64 storeRequests()
    {
        insert("SOLICITACAO_IE", { { "CNPJ", "33344455000183" }, { "LOCALIZACAO", 1 } });
        const qint64 estab = address({ { "CEP", "70000123" }, { "ID_UF", 10 }, { "LOCALIDADE", "PORTO DAS ARARAS" },
            { "DISTRITO", "VILA NOVA" }, { "BAIRRO", "CENTRO" }, { "TIPO_LOGRADOURO", 15 },
            { "LOGRADOURO", "DAS PALMEIRAS" }, { "NUMERO", "1500" }, { "COD_TIPO_COMPLEMENTO1", "LJ" },
            { "COMPLEMENTO1", "3" }, { "COD_TIPO_COMPLEMENTO3", "SL" }, { "COMPLEMENTO3", "12" } });
        const qint64 corresp = address({ { "CEP", "70000456" }, { "ID_UF", 12 }, { "LOCALIDADE", "RIO BRANCO" },
            { "BAIRRO", "BOSQUE" }, { "TIPO_LOGRADOURO", 142 }, { "LOGRADOURO", "DO BOSQUE" }, { "NUMERO", "S/N" },
            { "COD_TIPO_COMPLEMENTO2", "CP" }, { "COMPLEMENTO2", "45" } });
        const qint64 company = contact({ { "TELEFONE", "6132345678" }, { "EMAIL", "contato@boi.com.br" },
            { "CAIXA_POSTAL_CEP", "70000999" }, { "CAIXA_POSTAL", "45" } });
        const qint64 id = insert("SOLICITACAO_IE",
            { { "DATASOLICITACAOIE", "2026-12-09" }, { "CNPJ", "11222333000181" }, { "LOCALIZACAO", 1 },
                { "ID_NATUREZA_JURIDICA", 2305 }, { "NIRE", "53200012345" }, { "ID_UNIDADE_AUXILIAR", 11 },
                { "ID_CNAEF_PRINCIPAL", 491.0 }, { "ID_CAE", 5 }, { "ID_DESMEMBRAMENTO1", 1701 },
                { "ID_CNAEF_SECUNDARIO", 1133.0 }, { "ID_REGIME_RECOLHIMENTO", 9 },
                { "RECEITA_BRUTA", qint64(123456789000) }, { "SUBSTITUTO_TRIBUTARIO", "S" }, { "INSCRICAO_UNICA", "N" },
                { "VINCULO", 2 }, { "NOME_EMPRESARIAL", QStringLiteral("FRIGORÍFICO SÃO JOÃO LTDA") },
                { "DATA_INICIO_ATIVIDADE", "2026-11-30" }, { "NOME_FANTASIA", "BOI & CIA" },
                { "ID_SITUACAO_ESPESCIAL", 5 }, { "PROCESSO_NUMERO", "0001234-56.2026.8.27.0001" },
                { "NUMERO_DAE", "123456789012" }, { "CATEGORIA", 3 }, { "MATRIZ_IE", "1234567890107" },
                { "ORGAO_LICENCIADOR", "SIF 1234" }, { "ID_FORMA_COMERCIALIZACAO", 3 }, { "ID_CONVENIO_PROTOCOLO", 3 },
                { "DOCUMENTO_CONTABILISTA_TIPO", 4 }, { "DOCUMENTO_CONTABILISTA_NUMERO", "52998224725" },
                { "IND_LIVROS_FISCAIS", "S" }, { "ID_ENDERECO_ESTABELECIMENTO", estab },
                { "ID_ENDERECO_CORRESPONDECIA", corresp }, { "ID_COMUNICACAO_EMPRESA", company } });
        insert("SOLICITACAO_IE", { { "CNPJ", "44455566000183" }, { "LOCALIZACAO", 2 } });

        for (const char* ie : { "1234567890101", "1234567890202", "1234567890303", "1234567890404", "1234567890505" })
            insert("SOLICITACAO_IE_VINCULADO", { { "ID_SOLICITACAO", id }, { "IE", ie } });
        insert("SOLICITACAO_CNPJ_VINCULADO",
            { { "ID_SOLICITACAO", id }, { "CNPJ_NUCLEO", "11222333" }, { "CNPJ_FILIAL", "0002" },
                { "CNPJ_DV", "62" } });
        insert("SOLICITACAO_CNPJ_VINCULADO",
            { { "ID_SOLICITACAO", id }, { "CNPJ_NUCLEO", "11222333" }, { "CNPJ_FILIAL", "0003" },
                { "CNPJ_DV", "43" } });

        insert("SOLICITACAO_IE_SOCIO",
            { { "ID_SOLICITACAO", id }, { "TIPO_IDENTIFICACAO", 4 }, { "IDENTIFICACAO", "52998224725" },
                { "RESPONSAVEL_MASTER", "S" }, { "ID_CARGO", 49 }, { "DATA_NASCIMENTO", "1970-05-17" },
                { "PARTICIPACAO", 50.0 }, { "PARTICIPACAO_DATA_INICIO", "2026-11-30" },
                { "ID_ENDERECO",
                    address({ { "CEP", "70000789" }, { "ID_UF", 10 },
                        { "LOCALIDADE", QStringLiteral("SANTA CLARA DO QUIZAPÁ") }, { "BAIRRO", "JARDIM" },
                        { "TIPO_LOGRADOURO", 15 }, { "LOGRADOURO", "BRASIL" }, { "NUMERO", "10" } }) },
                { "ID_COMUNICACAO",
                    contact(
                        { { "TELEFONE", "6199998888" }, { "FAX", "6133332222" }, { "EMAIL", "joao@boi.com.br" } }) } });
        insert("SOLICITACAO_IE_SOCIO",
            { { "ID_SOLICITACAO", id }, { "TIPO_IDENTIFICACAO", 3 }, { "IDENTIFICACAO", "11444777000161" },
                { "RESPONSAVEL_MASTER", "N" }, { "IDENT_PROCURADOR_RESPONSAVEL", "11144477735" }, { "ID_CARGO", 48 },
                { "DATA_NASCIMENTO", "2001-03-02" }, { "PARTICIPACAO", 12.5 },
                { "PARTICIPACAO_DATA_INICIO", "2026-11-30" },
                { "ID_ENDERECO",
                    address({ { "ID_UF", 10 }, { "LOCALIDADE", "PORTO DAS ARARAS" }, { "BAIRRO", "CENTRO" },
                        { "TIPO_LOGRADOURO", 15 }, { "LOGRADOURO", "CENTRAL" }, { "NUMERO", "200" },
                        { "COD_TIPO_COMPLEMENTO1", "ED" }, { "COMPLEMENTO1", "ALFA" },
                        { "COD_TIPO_COMPLEMENTO2", "AN" }, { "COMPLEMENTO2", "3" } }) } });
        insert("SOLICITACAO_IE_SOCIO",
            { { "ID_SOLICITACAO", id }, { "TIPO_IDENTIFICACAO", 4 }, { "IDENTIFICACAO", "39053344705" },
                { "RESPONSAVEL_MASTER", "N" }, { "ID_CARGO", 22 }, { "PARTICIPACAO", 37.5 },
                { "PARTICIPACAO_DATA_INICIO", "2026-12-01" },
                { "ID_ENDERECO",
                    address({ { "CEP", "70000100" }, { "ID_UF", 10 }, { "LOCALIDADE", "PORTO DAS ARARAS" },
                        { "DISTRITO", "RURAL" }, { "BAIRRO", "ZONA RURAL" }, { "TIPO_LOGRADOURO", 15 },
                        { "LOGRADOURO", "SUL" }, { "NUMERO", "5" } }) },
                { "ID_COMUNICACAO", contact({ { "TELEFONE", "6130001111" } }) } });

        insert("SOLICITACAO_IE_RESPONSAVEL",
            { { "ID_SOLICITACAO", id }, { "IDENTIFICACAO", "87748248800" }, { "ID_FUNCAO", 19 },
                { "DATA_INICIO", "2026-11-30" },
                { "ID_ENDERECO",
                    address({ { "CEP", "70000200" }, { "ID_UF", 10 }, { "LOCALIDADE", "PORTO DAS ARARAS" },
                        { "BAIRRO", "CENTRO" }, { "TIPO_LOGRADOURO", 15 }, { "LOGRADOURO", "NORTE" }, { "NUMERO", "7" },
                        { "COD_TIPO_COMPLEMENTO4", "SL" }, { "COMPLEMENTO4", "101" } }) },
                { "ID_COMUNICACAO", contact({ { "TELEFONE", "6130002222" }, { "EMAIL", "ana@boi.com.br" } }) } });
        insert("SOLICITACAO_IE_RESPONSAVEL",
            { { "ID_SOLICITACAO", id }, { "IDENTIFICACAO", "52998224725" }, { "ID_FUNCAO", 99 },
                { "DATA_INICIO", "2026-12-01" } });

        insert("ENTREGAS", { { "SOLICITACAO_ID", id }, { "NUMEROPROTOCOLO", "P-OLD" } });
        insert("ENTREGAS", { { "SOLICITACAO_ID", id }, { "NUMEROPROTOCOLO", "P-NEW" } });
        m_jx->reopenAt(*m_jx->cdsSolicitacaoIE, id);
        return id;
    }

    qint64 storeEnablements()
    {
        insert("SOLICITACAO_CONTAB", { { "TIPO_IDENTIFICACAO", 4 }, { "IDENTIFICACAO", "87748248800" } });
        const qint64 id = insert("SOLICITACAO_CONTAB",
            { { "TIPO_IDENTIFICACAO", 3 }, { "IDENTIFICACAO", "11222333000181" }, { "CRC", "012345" },
                { "UF_CRC", "QZ" }, { "IDENTIFICADOR_CRC", "O" }, { "CPF_RESPONSAVEL", "52998224725" },
                { "EMAIL_RESPONSAVEL", "maria@contab.com.br" }, { "DATANACRESP", "1980-02-29" },
                { "DATAHABILITACAOCONTABILISTA", "2026-12-09 10:20:30" },
                { "ID_ENDERECO",
                    address({ { "CEP", "70000321" }, { "ID_UF", 10 },
                        { "LOCALIDADE", QStringLiteral("SANTA CLARA DO QUIZAPÁ") }, { "DISTRITO", "VILA NOVA" },
                        { "BAIRRO", "CENTRO" }, { "TIPO_LOGRADOURO", 15 }, { "LOGRADOURO", "DAS PALMEIRAS" },
                        { "NUMERO", "900" }, { "COD_TIPO_COMPLEMENTO1", "SL" }, { "COMPLEMENTO1", "5" },
                        { "COD_TIPO_COMPLEMENTO2", "BL" }, { "COMPLEMENTO2", "B" } }) },
                { "ID_COMUNICACAO",
                    contact(
                        { { "TELEFONE", "6133004400" }, { "FAX", "6133004401" }, { "EMAIL", "contab@contab.com.br" },
                            { "CAIXA_POSTAL_CEP", "70000888" }, { "CAIXA_POSTAL", "1234" } }) } });
        insert("SOLICITACAO_CONTAB", { { "TIPO_IDENTIFICACAO", 4 }, { "IDENTIFICACAO", "39053344705" } });
        insert("ENTREGAS", { { "HABILITACAO_ID", id }, { "NUMEROPROTOCOLO", "H-1" } });
        m_jx->reopenAt(*m_jx->cdsSolicitacao_Contab, id);
        return id;
    }

};

} // namespace jxtest

#include "db/Schema.h"

#include <QStringList>

namespace jx::db {

namespace {

using T = ColumnType;

ColumnDef text(const char* name, int size, const char* label = "")
{
    return { name, T::Text, size, label };
}

std::vector<ColumnDef> enderecoColumns()
{
    std::vector<ColumnDef> columns {
        { "ID_ENDERECO", T::Auto },
        text("LOCALIDADE", 30, "Localidade"),
        text("CEP", 8, "CEP"),
        text("DISTRITO", 30, "Distrito"),
        text("BAIRRO", 30, "Bairro"),
        { "TIPO_LOGRADOURO", T::Int, 0, "Tipo do Logradouro" },
        text("LOGRADOURO", 30, "Logradouro"),
        text("NUMERO", 6, "Número"),
    };
    static const char* complementos[]
        = { "COMPLEMENTO1", "COMPLEMENTO2", "COMPLEMENTO3", "COMPLEMENTO4", "COMPLEMENTO5", "COMPLEMENTO6" };
    static const char* tipos[] = { "COD_TIPO_COMPLEMENTO1", "COD_TIPO_COMPLEMENTO2", "COD_TIPO_COMPLEMENTO3",
        "COD_TIPO_COMPLEMENTO4", "COD_TIPO_COMPLEMENTO5", "COD_TIPO_COMPLEMENTO6" };
    for (const char* name : complementos)
        columns.push_back(text(name, 50));
    for (const char* name : tipos)
        columns.push_back(text(name, 2));
    columns.push_back({ "ID_UF", T::Int, 0, "UF" });
    return columns;
}

std::vector<TableDef> buildTables()
{
    return {
        { "SOLICITACAO_IE",
            {
                { "ID_SOLICITACAO", T::Auto },
                { "ID_NATUREZA_JURIDICA", T::Int, 0, "Natureza Jurídica" },
                { "ID_UNIDADE_AUXILIAR", T::Int },
                { "ID_CNAEF_PRINCIPAL", T::Real, 0, "CNAE-F Principal" },
                { "ID_CAE", T::Int, 0, "CAE" },
                { "ID_CNAEF_SECUNDARIO", T::Real, 0, "CNAE-F Secundário" },
                { "ID_REGIME_RECOLHIMENTO", T::Int, 0, "Regime de Recolhimento" },
                { "ID_ENDERECO_ESTABELECIMENTO", T::Int },
                { "ID_ENDERECO_CORRESPONDECIA", T::Int },
                { "ID_COMUNICACAO_EMPRESA", T::Int },
                { "CATEGORIA", T::Int },
                { "LOCALIZACAO", T::Int },
                text("NIRE", 30),
                { "VINCULO", T::Int, 0, "Vínculo" },
                text("INSCRICAO_UNICA", 1, "Inscrição Estadual Única"),
                text("SUBSTITUTO_TRIBUTARIO", 1, "Substituto Tributário"),
                text("NOME_EMPRESARIAL", 120, "Nome Empresarial"),
                text("NOME_FANTASIA", 50, "Nome Fantasia"),
                { "DOCUMENTO_CONTABILISTA_TIPO", T::Small, 0, "Tipo do Doc. do Contabilista" },
                text("DOCUMENTO_CONTABILISTA_NUMERO", 14, "Nº do Doc. do Contabilista"),
                { "DATA_INICIO_ATIVIDADE", T::Date, 0, "Data de Início da Atividade" },
                text("PROCESSO_NUMERO", 30, "Nº do Processo"),
                { "PROCESSO_DATA_INICIO", T::Date, 0, "Data Início do Processo" },
                { "PROCESSO_DATA_FIM", T::Date, 0, "Data Fim do Processo" },
                text("MATRIZ_IE", 30),
                text("IE_ESTADO_ORIGEM", 30, "Inscrição Estadual do Estado de Origem"),
                text("ORGAO_LICENCIADOR", 30, "Orgão Licenciador"),
                text("IND_LIVROS_FISCAIS", 1),
                { "RECEITA_BRUTA", T::Decimal, 0, "Limite Receita Bruta Anual Prevista" },
                { "ID_SITUACAO_ESPESCIAL", T::Int, 0, "Situação Especial" },
                { "ID_FORMA_COMERCIALIZACAO", T::Int, 0, "Forma de Comercialização" },
                { "ID_DESMEMBRAMENTO1", T::Int, 0, "Desmembramento da CNAE-F Principal" },
                { "ID_DESMEMBRAMENTO2", T::Int, 0, "Desmembramento da CNAE-F Secundária" },
                text("CNPJ", 14, "CNPJ"),
                text("IND_DAE_PRESUMIDO", 1),
                text("NUMERO_DAE", 12, "Nº do DAE"),
                { "DATASOLICITACAOIE", T::Date },
                { "DATACRIACAO", T::Date },
                text("STATUS", 1, "Status"),
                { "ID_CONVENIO_PROTOCOLO", T::Int, 0, "Convênio/Protocolo de Substituição Tributária" },
            },
            "ID_SOLICITACAO" },
        { "SOLICITACAO_IE_SOCIO",
            {
                { "ID_SOLICITACAO", T::Int },
                { "ID_SOCIO", T::Auto },
                { "ID_ENDERECO", T::Int, 0, "Dados do Endereço" },
                { "ID_COMUNICACAO", T::Int },
                text("IDENTIFICACAO", 14, "CPF/CNPJ"),
                { "TIPO_IDENTIFICACAO", T::Int, 0, "Tipo de Identificação" },
                { "ID_CARGO", T::Int, 0, "Cargo" },
                { "PARTICIPACAO", T::Real, 0, "Participação" },
                { "PARTICIPACAO_DATA_INICIO", T::Date, 0, "Data Início da Participação" },
                { "DATA_NASCIMENTO", T::Date, 0, "Data de Nascimento" },
                text("IDENT_PROCURADOR_RESPONSAVEL", 15, "CPF do Procurador/Responsável Legal"),
                text("RESPONSAVEL_MASTER", 1),
            },
            "ID_SOCIO" },
        { "SOLICITACAO_IE_RESPONSAVEL",
            {
                { "ID_SOLICITACAO", T::Int },
                { "ID_RESPONSAVEL", T::Auto },
                { "ID_ENDERECO", T::Int, 0, "Dados do Endereço" },
                { "ID_COMUNICACAO", T::Int, 0, "Comunicação" },
                text("IDENTIFICACAO", 14, "Identificação"),
                { "DATA_INICIO", T::Date, 0, "Data Início" },
                { "DATA_FIM", T::Date, 0, "Data Fim" },
                { "ID_FUNCAO", T::Int, 0, "Função" },
            },
            "ID_RESPONSAVEL" },
        { "SOLICITACAO_IE_VINCULADO", { { "ID_SOLICITACAO", T::Int }, text("IE", 30) } },
        { "SOLICITACAO_CNPJ_VINCULADO",
            { { "ID_SOLICITACAO", T::Int }, text("CNPJ_NUCLEO", 30), text("CNPJ_FILIAL", 30), text("CNPJ_DV", 30) } },
        { "ENDERECO", enderecoColumns(), "ID_ENDERECO" },
        { "COMUNICACAO",
            {
                { "ID_COMUNICACAO", T::Auto },
                text("TELEFONE", 10, "Telefone"),
                text("FAX", 10, "Fax"),
                text("EMAIL", 50, "E-Mail"),
                text("CAIXA_POSTAL", 10, "Caixa Postal"),
                text("CAIXA_POSTAL_CEP", 8, "Cep da Caixa Postal"),
            },
            "ID_COMUNICACAO" },
        { "SOLICITACAO_CONTAB",
            {
                { "ID_SOLICITACAO_CONTABILISTA", T::Auto },
                text("IDENTIFICACAO", 14, "Identificação"),
                text("CRC", 6, "CRC"),
                text("UF_CRC", 2, "UF CRC"),
                text("CPF_RESPONSAVEL", 14, "CPF do Responsável"),
                { "ID_ENDERECO", T::Int, 0, "Endereço" },
                { "ID_COMUNICACAO", T::Int, 0, "Comunicação" },
                text("EMAIL_RESPONSAVEL", 50, "E-Mail do Responsável"),
                { "DATANACRESP", T::Date, 0, "Data de Nascimento do Responsável" },
                text("IDENTIFICADOR_CRC", 2, "Identificador CRC"),
                { "TIPO_SOLICITACAO_CONTAB", T::Small },
                { "TIPO_IDENTIFICACAO", T::Small, 0, "Tipo de Identificação" },
                { "TIPO_IDENTIFICACAO_RESP", T::Small, 0, "Tipo da Identificação do Responsável" },
                { "DATACRIACAO", T::Date },
                { "DATAHABILITACAOCONTABILISTA", T::Date },
                text("STATUS", 1, "Status"),
            },
            "ID_SOLICITACAO_CONTABILISTA" },
        { "ENTREGAS",
            {
                { "IDENTIFICADOR", T::Auto },
                text("NUMEROPROTOCOLO", 20),
                text("VERSAOJXTRANSMISSAO", 5),
                text("FORMAENTREGA", 1),
                text("NOMEARQUIVO", 50),
                text("VERIFICADORINTEGRIDADE", 200),
                { "RECIBO", T::Blob },
                text("DATAGERACAOCOMPROVANTE", 50),
                { "SOLICITACAO_ID", T::Int },
                { "HABILITACAO_ID", T::Int },
                { "DATAHORAPROTOCOLO", T::Date },
                text("IDENTIFICADORDISQUETE", 50),
            },
            "IDENTIFICADOR" },
        { "PENDENCIAS",
            { { "IDENTIFICADOR", T::Auto }, { "ID_SOLICITACAO", T::Int }, text("LOCAL", 50), text("CAMPO", 255),
                text("PENDENCIA", 255), text("TIPO_PENDENCIA", 1) },
            "IDENTIFICADOR" },

        // Reference tables: keys are the data's own values.
        { "CNAEF",
            { { "ID_CNAEF", T::Real }, text("CODIGO", 255), text("DESCRICAO", 255), { "COD_TIPO", T::Real },
                text("DIGITO", 255), text("COD_FORMATADO", 255), text("COD_CNAEF_SUPERIOR", 255),
                { "DATA_INICIO", T::Date }, { "DATA_FIM", T::Date }, text("INFORMA_CNPJ_VINC", 20) },
            "ID_CNAEF", true },
        { "CAE",
            { { "ID_CAE", T::Real }, text("CODIGO", 255), text("DESCRICAO", 255), { "TIPO", T::Real },
                text("DIGITO", 255), text("COD_FORMATADO", 255), text("ID_CAE_SUPERIOR", 255),
                { "DATA_INICIO", T::Date }, { "DATA_FIM", T::Date } },
            "ID_CAE", true },
        { "CNAEF_CAE", { { "ID_CNAEF", T::Real }, { "ID_CAE", T::Real } }, "", true },
        { "NATUREZA_JURIDICA",
            { { "ID_NATUREZAJUD", T::Int }, text("DV", 30), text("DESCRICAO", 255), { "DATA_INICIO", T::Date },
                { "DATA_FIM", T::Date }, text("INFORMA_NIRE", 20) },
            "ID_NATUREZAJUD", true },
        { "UNIDADE_AUXILIAR",
            { { "IDENTIFICADOR", T::Int }, text("DESCRICAO", 255), { "DATA_INICIO", T::Date }, text("ZKF_CODIGO", 255),
                { "DATA_FIM", T::Date } },
            "IDENTIFICADOR", true },
        { "REGIME_RECOLHIMENTO",
            { { "ID_REGIMEC", T::Int }, text("DESCRICAO", 255), { "DATA_INICIO", T::Date }, text("SIGLA", 255),
                { "DATA_FIM", T::Date } },
            "ID_REGIMEC", true },
        { "CARGO_SOCIO",
            { { "CODIGO", T::Real }, text("DESCRICAO", 255), { "DATA_INICIO", T::Date }, { "DATA_FIM", T::Date } },
            "CODIGO", true },
        { "FUNCAO_RESPONSAVEL",
            { { "ID_FUNCAO", T::Int }, text("DESCRICAO", 50), { "DATA_INICIO", T::Date }, { "DATA_FIM", T::Date } },
            "ID_FUNCAO", true },
        { "CONVENIO_PROTOCOLO",
            { { "ID_CONVENIO_PROTOCOLO", T::Int }, text("DESCRICAO", 100), { "DATA_INICIO", T::Date },
                { "DATA_FIM", T::Date }, text("NUMERO", 20) },
            "ID_CONVENIO_PROTOCOLO", true },
        { "SITUACAO_ESPECIAL", { text("DESCRICAO", 60), { "CODIGO", T::Int } }, "CODIGO", true },
        { "FORMA_COMERCIALIZACAO", { { "CODIGO", T::Int }, text("DESCRICAO", 50) }, "CODIGO", true },
        { "VINCULO", { { "ID_VINCULO", T::Int }, text("DESCRICAO", 50) }, "ID_VINCULO", true },
        { "UF", { { "ID_UF", T::Int }, text("SIGLA", 2), text("NOME", 72), { "ORDEM", T::Small } }, "ID_UF", true },
        { "LOCALIDADE", { { "IDENTIFICADOR", T::Int }, text("NOME", 72), { "ID_UF", T::Int } }, "IDENTIFICADOR", true },
        { "LOGRADOURO", { { "IDENTIFICADOR", T::Real }, text("NOME", 255), text("ABREVIATURA", 255) }, "IDENTIFICADOR",
            true },
        { "COMPLEMENTO", { text("CODIGO", 2), text("DESCRICAO", 255) }, "CODIGO", true },
        { "TIPO_IDENTIFICACAO", { { "IDENTIFICACAO", T::Int }, text("TIPO", 5) }, "IDENTIFICACAO", true },
        { "IDENTIFICADOR_CRC", { { "IDENTIFICADOR", T::Int }, text("TIPO", 2), text("IDENTIFICACAO", 30) },
            "IDENTIFICADOR", true },
    };
}

QString sqlType(const ColumnDef& column, bool isKey)
{
    switch (column.type) {
    case T::Auto:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case T::Int:
        // "INT", not "INTEGER": a reference key must not become the row id, so that the
        // rows keep the order in which they were loaded.
        return isKey ? QStringLiteral("INT NOT NULL PRIMARY KEY") : QStringLiteral("INT");
    case T::Small:
        return QStringLiteral(
            "INT CONSTRAINT \"%1 fora do intervalo de 0 a 65535\" CHECK (%1 IS NULL OR %1 BETWEEN 0 AND "
            "65535)")
            .arg(QLatin1String(column.name));
    case T::Real:
        return isKey ? QStringLiteral("REAL NOT NULL PRIMARY KEY") : QStringLiteral("REAL");
    case T::Decimal:
        return QStringLiteral("INT");
    case T::Date:
        return QStringLiteral("TEXT");
    case T::Text:
        // The constraint's name is what the user reads when a row is refused.
        return QStringLiteral(
            "TEXT%1 CONSTRAINT \"%2 com mais de %3 caracteres\" CHECK (%2 IS NULL OR length(%2) <= %3)")
            .arg(isKey ? QStringLiteral(" NOT NULL PRIMARY KEY") : QString(), QLatin1String(column.name))
            .arg(column.size);
    case T::Blob:
        return QStringLiteral("BLOB");
    }
    return {};
}

} // namespace

const std::vector<TableDef>& tables()
{
    static const std::vector<TableDef> all = buildTables();
    return all;
}

const TableDef* table(const QString& name)
{
    for (const TableDef& t : tables()) {
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

const ColumnDef* column(const TableDef& table, const QString& name)
{
    for (const ColumnDef& c : table.columns) {
        if (name.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

QStringList indexStatements()
{
    return { QStringLiteral("CREATE INDEX IF NOT EXISTS IX_SOCIO_SOLICITACAO ON SOLICITACAO_IE_SOCIO (ID_SOLICITACAO)"),
        QStringLiteral(
            "CREATE INDEX IF NOT EXISTS IX_RESPONSAVEL_SOLICITACAO ON SOLICITACAO_IE_RESPONSAVEL (ID_SOLICITACAO)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS IX_IE_VINCULADO_SOLICITACAO ON SOLICITACAO_IE_VINCULADO (ID_SOLICITACAO)"),
        QStringLiteral(
            "CREATE INDEX IF NOT EXISTS IX_CNPJ_VINCULADO_SOLICITACAO ON SOLICITACAO_CNPJ_VINCULADO (ID_SOLICITACAO)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS IX_ENTREGAS_SOLICITACAO ON ENTREGAS (SOLICITACAO_ID)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS IX_ENTREGAS_HABILITACAO ON ENTREGAS (HABILITACAO_ID)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS IX_SOLICITACAO_CNPJ ON SOLICITACAO_IE (CNPJ)"),
        // The desmembramento and CAE lists of an activity, read at every verification.
        QStringLiteral("CREATE INDEX IF NOT EXISTS IX_CNAEF_SUPERIOR ON CNAEF (COD_CNAEF_SUPERIOR)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS IX_CNAEF_CAE_CNAEF ON CNAEF_CAE (ID_CNAEF)") };
}

QString createStatement(const TableDef& table)
{
    QStringList columns;
    for (const ColumnDef& c : table.columns)
        columns << QLatin1String(c.name) + u' ' + sqlType(c, QLatin1String(c.name) == QLatin1String(table.key));
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(QLatin1String(table.name), columns.join(QStringLiteral(", ")));
}

} // namespace jx::db

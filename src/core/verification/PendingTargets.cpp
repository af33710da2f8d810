#include "verification/PendingTargets.h"

#include "verification/Verification.h"

#include <QHash>

namespace jx::pending {

namespace {

struct Target {
    const char* area;
    const char* scope; // "" for the area's usual owner
    const char* label; // a rule's label, or its whole message; "*" for every item of the area
    const char* control;
};

// The one table from rules to controls, both forms (request and enablement).
const Target kTargets[] = {
    // Request, "Dados Iniciais"
    { "Dados Iniciais", "", "Localização", "dbrgLocalizacao" },
    { "Dados Iniciais", "", "Limite Receita Bruta Anual Prevista", "dbReceitaBruta" },
    { "Dados Iniciais", "", "Substituto Tributário", "dbrgTrib" },
    { "Dados Iniciais", "", "Inscrição Estadual do Estado de Origem", "dbIEEstado" },
    { "Dados Iniciais", "", "Situação Especial", "dbLkSituacao" },
    { "Dados Iniciais", "", "Nº do Processo", "dbProcesso" },
    { "Dados Iniciais", "", "Data Fim do Processo", "dbdFim" },
    { "Dados Iniciais", "", "O campo Data Início do Processo deve ser menor Data Fim do Processo.", "dbdFim" },
    { "Dados Iniciais", "", "Data Início do Processo", "dbdInicio" },
    { "Dados Iniciais", "", "Natureza Jurídica", "dbLkNatureza" },
    { "Dados Iniciais", "", "CNAE-F Principal", "pnlCnaefPrincipalCod" },
    { "Dados Iniciais", "", "O campos CNAE-F Principal e CNAE-F Secundária devem ser diferentes.",
        "pnlCnaefSecundariaCod" },
    { "Dados Iniciais", "", "Regime de Recolhimento", "dbLkRegime" },
    { "Dados Iniciais", "", "Vínculo", "dbLkComunicar" },
    { "Dados Iniciais", "", "Inscrição Estadual Única", "dbrgIEUnica" },
    { "Dados Iniciais", "", "NIRE inválido.", "dbNIRE" },
    { "Dados Iniciais", "", "NIRE inválido com o campo localização.", "dbNIRE" },
    { "Dados Iniciais", "", "NIRE", "dbNIRE" },
    { "Dados Iniciais", "", "Nº de Registro do Órgão Licenciador não confere com a UF do Estabelecimento.",
        "dbOrgaoLicenciador" },
    // "Qualificação"
    { "Qualificação", "", "Desmembramento da CNAE-F Principal", "dbLkDesmembramento1" },
    { "Qualificação", "", "Desmembramento da CNAE-F Secundária", "dbLkDesmembramento2" },
    { "Qualificação", "", "CAE", "dbLkCAE" },
    { "Qualificação", "", "Convênio/Protocolo de Substituição Tributária", "dbLkConvenio" },
    { "Qualificação", "", "Nº de Registro do Órgão Licenciador inválido.", "dbOrgaoLicenciador" },
    { "Qualificação", "", "Orgão Licenciador", "dbOrgaoLicenciador" },
    { "Qualificação", "", "Forma de Comercialização", "DBFORMACOMERCIALIZACAO" },
    // "Identificação"
    { "Identificação", "", "Nome Empresarial", "dbNomeEmpresarial" },
    { "Identificação", "", "Data de Início da Atividade", "DBDateInicAtividade" },
    { "Identificação", "", "Nº do DAE", "dbDAE" },
    { "Identificação", "", "A Solicitação deve ter pelo menos um CNPJ Vinculado.", "btn_actCNPJEstabVinc" },
    { "Identificação", "", "A Solicitação deve ter pelo menos uma Inscrição Estadual Vinculada.",
        "btn_actIEEstabVinc" },
    // "Contabilistas"
    { "Contabilistas", "", "Tipo do Doc. do Contabilista", "dbLkTipoDocContabilista" },
    { "Contabilistas", "", "CNPJ do Contabilista Inválido.", "dbDocContabilista" },
    { "Contabilistas", "", "CPF do Contabilista Inválido.", "dbDocContabilista" },
    // "Endereço/Comunicação": the addresses are typed in their own window, reached by their link.
    { "Endereço/Comunicação", "", "Endereço do Estabelecimento deve ser informado.",
        "btn_actSolicitacaoIEInclusaoEndEstab" },
    { "Endereço/Comunicação", "", "CEP", "btn_actSolicitacaoIEInclusaoEndEstab" },
    { "Endereço/Comunicação", "", "UF", "btn_actSolicitacaoIEInclusaoEndEstab" },
    { "Endereço/Comunicação", "", "Tipo do Logradouro", "btn_actSolicitacaoIEInclusaoEndEstab" },
    { "Endereço/Comunicação", "", "Logradouro", "btn_actSolicitacaoIEInclusaoEndEstab" },
    { "Endereço/Comunicação", "", "Localidade", "btn_actSolicitacaoIEInclusaoEndEstab" },
    { "Endereço/Comunicação", "Correspondencia", "*", "btn_actSolicitacaoIEInclusaoEndCorresp" },
    { "Endereço/Comunicação", "", "Telefone", "dbTelefone" },
    { "Endereço/Comunicação", "", "Fax", "dbFax" },
    { "Endereço/Comunicação", "", "Cep da Caixa Postal", "dbCaixaPostalCEP" },
    { "Endereço/Comunicação", "", "E-Mail", "dbEmail" },
    // Partners and responsible persons: their grid, on the person's row.
    { "Sócios", "", "*", "dbgSocios" },
    { "Responsáveis", "", "*", "dbgResponsaveis" },
    // The enablement form
    { "Habilitação de Contabilista", "", "Tipo de Identificação", "dbLkTipoIdentificacao" },
    { "Habilitação de Contabilista", "", "CPF do Responsável", "dbCPFResponsavel" },
    { "Habilitação de Contabilista", "", "CNPJ inválido.", "dbIdentificacao" },
    { "Habilitação de Contabilista", "", "CPF inválido.", "dbIdentificacao" },
    { "Habilitação de Contabilista", "", "UF CRC", "dbLkUFCRC" },
    { "Habilitação de Contabilista", "", "CRC", "dbCRC" },
    { "Habilitação de Contabilista", "", "Identificador CRC", "dbLkIdentificadorCRC" },
    { "Habilitação de Contabilista", "", "E-Mail do Responsável", "dbEmailResponsavel" },
    { "Habilitação de Contabilista", "", "Data de Nascimento do Responsável", "dbdNascimento" },
    { "Habilitação de Contabilista", "",
        "O campo Data de Nascimento do Responsável não deve ser maior que a data atual.", "dbdNascimento" },
    { "Habilitação de Contabilista", "", "Endereço deve ser informado.", "btn_actSolicitacaoContab_Endereco" },
    { "Habilitação de Contabilista", "", "CEP", "btn_actSolicitacaoContab_Endereco" },
    { "Habilitação de Contabilista", "", "Localidade", "btn_actSolicitacaoContab_Endereco" },
    { "Habilitação de Contabilista", "", "Bairro", "btn_actSolicitacaoContab_Endereco" },
    { "Habilitação de Contabilista", "", "Logradouro", "btn_actSolicitacaoContab_Endereco" },
    { "Habilitação de Contabilista", "", "Número", "btn_actSolicitacaoContab_Endereco" },
    { "Habilitação de Contabilista", "", "Telefone", "dbTelefone" },
    { "Habilitação de Contabilista", "", "Fax", "dbFax" },
    { "Habilitação de Contabilista", "", "Cep da Caixa Postal", "dbCaixaPostalCEP" },
    { "Habilitação de Contabilista", "", "E-Mail", "dbEmail" },
};

// Every text a rule may write, with its area and scope, to the control: built once.
struct Index {
    QHash<QString, QString> byText; // area + '\n' + scope + '\n' + text
    QHash<QString, QString> byArea; // area + '\n' + scope, for "*"
};

QString key(const QString& area, const QString& scope, const QString& text = {})
{
    return area + u'\n' + scope + u'\n' + text;
}

const Index& index()
{
    static const Index built = [] {
        Index i;
        for (const Target& t : kTargets) {
            const QString area = QString::fromUtf8(t.area);
            const QString scope = QLatin1String(t.scope);
            const QString control = QLatin1String(t.control);
            const QString label = QString::fromUtf8(t.label);
            if (label == QLatin1String("*")) {
                i.byArea.insert(key(area, scope), control);
                continue;
            }
            // The message forms a label is written in; the first rule listed wins.
            for (const QString& text : { label, Verification::F1(label), Verification::F2(label),
                     Verification::F3(label), Verification::F5(label), label + QStringLiteral(" inválido.") }) {
                const QString k = key(area, scope, text);
                if (!i.byText.contains(k))
                    i.byText.insert(k, control);
            }
        }
        return i;
    }();
    return built;
}

} // namespace

QString controlFor(const QString& area, const QString& text, const QString& scope)
{
    const Index& i = index();
    const auto wide = i.byArea.constFind(key(area, scope));
    if (wide != i.byArea.cend())
        return *wide;
    return i.byText.value(key(area, scope, text));
}

} // namespace jx::pending

#include "backup/RestorePlan.h"

#include "Error.h"
#include "data/RecordSet.h"
#include "db/Schema.h"
#include "delivery/Receipts.h"
#include "delivery/XmlLibraryPass.h"
#include "text/DocumentChecks.h"
#include "text/Money.h"

#include <QDate>
#include <QTime>

#include <pugixml.hpp>

#include <cstring>
#include <set>
#include <string>

namespace jx::restore {

namespace {

// What a backup may hold: anything else (another tag, a repeated one, text between elements)
// refuses the file before a row is read, so a file cannot smuggle in what the reader skips.
struct Shape {
    std::string name;
    std::vector<Shape> children; // none: a leaf holding text
    bool repeats = false;
    std::vector<std::string> attributes = {};
};

Shape leaf(const char* name)
{
    return { name, {}, false, {} };
}

std::vector<Shape> leaves(std::initializer_list<const char*> names)
{
    std::vector<Shape> out;
    for (const char* name : names)
        out.push_back(leaf(name));
    return out;
}

Shape group(const char* name, std::vector<Shape> children, bool repeats = false, std::vector<std::string> attributes = {})
{
    return { name, std::move(children), repeats, std::move(attributes) };
}

std::vector<Shape> addressLeaves()
{
    std::vector<Shape> out = leaves({ "cep", "uf", "municipio", "distrito_povoado", "bairro", "tipo_logradouro",
        "nome_tipo_logradouro", "logradouro", "numero" });
    for (int i = 1; i <= 6; ++i) {
        out.push_back(leaf(("cod_complemento" + std::to_string(i)).c_str()));
        out.push_back(leaf(("des_complemento" + std::to_string(i)).c_str()));
    }
    return out;
}

std::vector<Shape> contactLeaves()
{
    return leaves({ "telefone", "fax", "e_mail", "cep_caixa_postal", "caixa_postal" });
}

Shape deliveryShape()
{
    return group("entrega",
        leaves({ "num_protocolo", "data_hora_protocolo", "versao_jx_transmitida", "forma_entrega", "nome_arquivo",
            "verificador_integridade", "identificador_disquete", "recibo" }),
        true);
}

const Shape& requestShape()
{
    static const Shape shape = group("dados",
        { group("solicitacao",
              { group("dados_iniciais",
                    [] {
                        auto c = leaves({ "cnpj", "localizacao", "natureza_juridica", "nire", "unidade_auxiliar",
                            "cnaef_principal", "cae", "desmembramento_cnaef_principal", "cnaef_secundaria",
                            "desmembramento_cnaef_secundaria", "regime_recolhimento",
                            "limite_receita_bruta_anual_prevista", "substituto_tributario",
                            "incorporacao_fusao_cisao_total", "ie_unificada" });
                        c.push_back(group("ident_contabilista_empresa_contabil", leaves({ "tipo", "numero" })));
                        return c;
                    }()),
                  group("identificacao",
                      [] {
                          auto c = leaves({ "nome_empresarial", "nome_fantasia", "data_inicio_atividade",
                              "ie_estado_origem", "numero_dae_solicitacao_ie" });
                          c.push_back(group("situacao_especial", leaves({ "numero_processo", "data_inicio", "data_fim" }),
                              false, { "situacao" }));
                          c.push_back(group("ie_incorporadas_fundidas_cindidas", { group("ie", {}, true) }));
                          c.push_back(group("cnpj_vinculado_ie_unificada", { group("cnpj", {}, true) }));
                          return c;
                      }()),
                  group("qualificacao",
                      leaves({ "categoria", "ie_matriz_principal", "numero_registro_orgao_licenciador",
                          "formas_comercializacao", "permanencia_livros_escritorio_contabilidade",
                          "convenio_protocolo_substituicao_tributaria" })),
                  group("endereco_comunicacao",
                      { group("estabelecimento", addressLeaves()), group("correspondencia", addressLeaves()),
                          group("comunicacao", contactLeaves()) }),
                  group("socio",
                      { group("dados_cadastrais",
                            { group("identificacao", leaves({ "tipo", "numero" })), leaf("responsavel_master"),
                                leaf("cpf_procurador_responsavel_legal"), leaf("cargo"),
                                group("participacao", leaves({ "percentual", "data_inicio" })),
                                leaf("data_nascimento_inicio") }),
                          group("endereco", addressLeaves()), group("comunicacao", contactLeaves()) },
                      true),
                  group("responsavel",
                      { leaf("cpf"), group("dados_funcionais", leaves({ "funcao", "data_inicio" })),
                          group("endereco", addressLeaves()), group("comunicacao", contactLeaves()) },
                      true) },
              false, { "data", "status", "datacriacao" }),
            deliveryShape() });
    return shape;
}

const Shape& enablementShape()
{
    static const Shape shape = group("dados",
        { group("habilitacao",
              { group("identificacao", leaves({ "tipo", "numero" })),
                  group("crc", leaves({ "uf", "numero", "identificador" })),
                  group("responsavel", leaves({ "cpf", "e_mail", "data_nascimento" })),
                  group("endereco", addressLeaves()), group("comunicacao", contactLeaves()) },
              false, { "data", "status", "datacriacao" }),
            deliveryShape() });
    return shape;
}

[[noreturn]] void invalid(const QString& reason)
{
    throw Error(kInvalidFormat + QStringLiteral("\r\n") + reason);
}

QString nameOf(pugi::xml_node node)
{
    return QString::fromUtf8(node.name());
}

void checkAttributes(pugi::xml_node node, const Shape& shape)
{
    for (pugi::xml_attribute a : node.attributes()) {
        bool known = false;
        for (const std::string& name : shape.attributes)
            known = known || name == a.name();
        if (!known)
            invalid(QStringLiteral("O atributo %1 não é esperado em <%2>.").arg(QString::fromUtf8(a.name()), nameOf(node)));
    }
}

// Walks with its own stack: the depth is that of the shape, whatever the file's.
void checkShape(pugi::xml_node root, const Shape& rootShape)
{
    std::vector<std::pair<pugi::xml_node, const Shape*>> pending { { root, &rootShape } };
    while (!pending.empty()) {
        const auto [node, shape] = pending.back();
        pending.pop_back();
        checkAttributes(node, *shape);
        std::set<std::string> seen;
        for (pugi::xml_node child : node.children()) {
            if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
                invalid(QStringLiteral("Há texto fora de lugar em <%1>.").arg(nameOf(node)));
            if (child.type() != pugi::node_element)
                continue;
            const Shape* sub = nullptr;
            for (const Shape& candidate : shape->children) {
                if (candidate.name == child.name())
                    sub = &candidate;
            }
            if (!sub)
                invalid(QStringLiteral("O elemento <%1> não é esperado em <%2>.").arg(nameOf(child), nameOf(node)));
            if (!sub->repeats && !seen.insert(sub->name).second)
                invalid(QStringLiteral("O elemento <%1> aparece mais de uma vez em <%2>.").arg(nameOf(child), nameOf(node)));
            if (!sub->children.empty()) {
                pending.emplace_back(child, sub);
                continue;
            }
            checkAttributes(child, *sub);
            int texts = 0;
            for (pugi::xml_node inner : child.children()) {
                if (inner.type() == pugi::node_element)
                    invalid(QStringLiteral("O elemento <%1> não é esperado em <%2>.").arg(nameOf(inner), nameOf(child)));
                if (inner.type() == pugi::node_pcdata || inner.type() == pugi::node_cdata)
                    ++texts;
            }
            if (texts > 1)
                invalid(QStringLiteral("O elemento <%1> tem texto partido.").arg(nameOf(child)));
        }
    }
}

QString textOf(pugi::xml_node parent, const char* name)
{
    return QString::fromUtf8(parent.child(name).text().get());
}

pugi::xml_node required(pugi::xml_node parent, const char* name)
{
    const pugi::xml_node node = parent.child(name);
    if (!node)
        throw Error(kInvalidFormat);
    return node;
}

// Runs a step; its failure reaches the user behind the record's message.
template <typename F>
auto within(const QString& message, F&& step)
{
    try {
        return step();
    } catch (const Error& e) {
        throw Error(message + e.userText());
    }
}

QString shown(const QString& text)
{
    return text.size() > 40 ? text.left(40) + QStringLiteral("…") : text;
}

// A date as the layouts write it (dd/mm/yyyy, maybe followed by hh:mm:ss) in the stored form;
// creation and protocol moments always carry their time.
QVariant storedDate(const char* column, const QString& text, bool* ok)
{
    const QString t = text.trimmed();
    const QDate date = QDate::fromString(t.left(10), QStringLiteral("dd/MM/yyyy"));
    QTime time(0, 0);
    *ok = date.isValid() && (t.size() == 10 || t.size() == 19);
    if (*ok && t.size() == 19) {
        time = QTime::fromString(t.mid(11), QStringLiteral("HH:mm:ss"));
        *ok = t.at(10) == u' ' && time.isValid();
    }
    if (!*ok)
        return {};
    const bool moment = std::strcmp(column, "DATACRIACAO") == 0 || std::strcmp(column, "DATAHORAPROTOCOLO") == 0;
    if (t.size() == 10 && !moment)
        return date.toString(Qt::ISODate);
    return date.toString(Qt::ISODate) + u' ' + time.toString(QStringLiteral("HH:mm:ss"));
}

QVariant stored(const char* table, const char* column, const QString& text)
{
    const db::TableDef* t = db::table(QLatin1String(table));
    const db::ColumnDef* c = t ? db::column(*t, QLatin1String(column)) : nullptr;
    Q_ASSERT(c);
    if (!c || text.trimmed().isEmpty())
        return {};
    bool ok = false;
    QVariant value;
    switch (c->type) {
    case db::ColumnType::Text:
        // Refused, never cut: a shortened name or number would pass for the real one.
        if (text.size() > c->size)
            throw Error(QStringLiteral("Valor recusado: %1 com mais de %2 caracteres").arg(QLatin1String(column)).arg(c->size));
        return text;
    case db::ColumnType::Auto:
    case db::ColumnType::Int:
    case db::ColumnType::Small: {
        const qint64 n = text.trimmed().toLongLong(&ok);
        const bool small = c->type == db::ColumnType::Small;
        ok = ok && n >= (small ? 0 : qint64(INT32_MIN)) && n <= (small ? 65535 : qint64(INT32_MAX));
        value = n;
        break;
    }
    case db::ColumnType::Real:
        value = data::RecordSet::toStored(data::FieldType::Real, text, &ok);
        break;
    case db::ColumnType::Decimal: {
        const std::optional<qint64> count = money::parse(text);
        ok = count.has_value();
        value = count.value_or(0);
        break;
    }
    case db::ColumnType::Date:
        value = storedDate(column, text, &ok);
        break;
    case db::ColumnType::Blob:
        return Receipts::windows1252(text);
    }
    if (!ok)
        throw Error(QStringLiteral("Valor inválido para %1: \"%2\"").arg(QLatin1String(column), shown(text)));
    return value;
}

void put(Values& row, const char* table, const char* column, const QString& text)
{
    row.emplace_back(QLatin1String(column), stored(table, column, text));
}

Address address(pugi::xml_node a)
{
    Address out;
    Values& v = out.values;
    put(v, "ENDERECO", "CEP", textOf(a, "cep"));
    out.uf = textOf(a, "uf");
    put(v, "ENDERECO", "LOCALIDADE", textOf(a, "municipio"));
    put(v, "ENDERECO", "DISTRITO", textOf(a, "distrito_povoado"));
    put(v, "ENDERECO", "BAIRRO", textOf(a, "bairro"));
    put(v, "ENDERECO", "TIPO_LOGRADOURO", textOf(a, "tipo_logradouro"));
    put(v, "ENDERECO", "LOGRADOURO", textOf(a, "logradouro"));
    put(v, "ENDERECO", "NUMERO", textOf(a, "numero"));
    for (int i = 1; i <= 6; ++i) {
        const std::string n = std::to_string(i);
        put(v, "ENDERECO", ("COMPLEMENTO" + n).c_str(), textOf(a, ("des_complemento" + n).c_str()));
        put(v, "ENDERECO", ("COD_TIPO_COMPLEMENTO" + n).c_str(), textOf(a, ("cod_complemento" + n).c_str()));
    }
    return out;
}

bool cepGiven(pugi::xml_node a)
{
    return !textOf(a, "cep").trimmed().isEmpty();
}

Values contact(pugi::xml_node c)
{
    Values v;
    put(v, "COMUNICACAO", "TELEFONE", textOf(c, "telefone"));
    put(v, "COMUNICACAO", "FAX", textOf(c, "fax"));
    put(v, "COMUNICACAO", "EMAIL", textOf(c, "e_mail"));
    put(v, "COMUNICACAO", "CAIXA_POSTAL_CEP", textOf(c, "cep_caixa_postal"));
    put(v, "COMUNICACAO", "CAIXA_POSTAL", textOf(c, "caixa_postal"));
    return v;
}

bool contactGiven(pugi::xml_node c)
{
    QString all;
    for (const char* name : { "telefone", "fax", "e_mail", "cep_caixa_postal", "caixa_postal" })
        all += textOf(c, name);
    return !all.trimmed().isEmpty();
}

// A partner's or responsible person's address (required, stored only with a CEP) and contact.
void personDetails(pugi::xml_node person, Person& p, const QString& addressMessage, const QString& contactMessage)
{
    within(addressMessage, [&] {
        const pugi::xml_node e = required(person, "endereco");
        if (cepGiven(e))
            p.address = address(e);
    });
    within(contactMessage, [&] {
        const pugi::xml_node c = person.child("comunicacao");
        if (c && contactGiven(c))
            p.contact = contact(c);
    });
}

Person partner(pugi::xml_node s)
{
    Person p;
    const pugi::xml_node dc = required(s, "dados_cadastrais");
    const pugi::xml_node id = required(dc, "identificacao");
    const pugi::xml_node share = required(dc, "participacao");
    personDetails(s, p, kPartnerAddress, kPartnerContact);
    Values& v = p.values;
    const char* t = "SOLICITACAO_IE_SOCIO";
    put(v, t, "TIPO_IDENTIFICACAO", textOf(id, "tipo") == QLatin1String("4") ? QStringLiteral("4") : QStringLiteral("3"));
    put(v, t, "IDENTIFICACAO", textOf(id, "numero"));
    put(v, t, "RESPONSAVEL_MASTER", textOf(dc, "responsavel_master"));
    put(v, t, "IDENT_PROCURADOR_RESPONSAVEL", textOf(dc, "cpf_procurador_responsavel_legal"));
    put(v, t, "ID_CARGO", textOf(dc, "cargo"));
    put(v, t, "PARTICIPACAO", textOf(share, "percentual"));
    put(v, t, "PARTICIPACAO_DATA_INICIO", textOf(share, "data_inicio"));
    put(v, t, "DATA_NASCIMENTO", textOf(dc, "data_nascimento_inicio"));
    return p;
}

Person responsible(pugi::xml_node r)
{
    Person p;
    const pugi::xml_node work = required(r, "dados_funcionais");
    personDetails(r, p, kResponsibleAddress, kResponsibleContact);
    const char* t = "SOLICITACAO_IE_RESPONSAVEL";
    put(p.values, t, "IDENTIFICACAO", textOf(r, "cpf"));
    put(p.values, t, "ID_FUNCAO", textOf(work, "funcao"));
    put(p.values, t, "DATA_INICIO", textOf(work, "data_inicio"));
    return p;
}

void requestRow(pugi::xml_node s, RestorePlan& plan)
{
    const pugi::xml_node initial = required(s, "dados_iniciais");
    const pugi::xml_node ident = required(s, "identificacao");
    Values& v = plan.filing;
    const char* t = "SOLICITACAO_IE";
    auto attribute = [&s](const char* name) { return QString::fromUtf8(s.attribute(name).value()); };
    put(v, t, "STATUS", attribute("status"));
    put(v, t, "DATACRIACAO", attribute("datacriacao"));
    put(v, t, "DATASOLICITACAOIE", attribute("data"));
    const QString cnpj = textOf(initial, "cnpj");
    // The verifier of the envelope is not checked; the filing's own number at least must be one.
    if (!docs::cnpjIsValid(cnpj))
        throw Error(QStringLiteral("CNPJ inválido: \"%1\"").arg(shown(cnpj)));
    put(v, t, "CNPJ", cnpj);
    put(v, t, "LOCALIZACAO", textOf(initial, "localizacao") == QLatin1String("QZ") ? QStringLiteral("1") : QStringLiteral("99"));
    put(v, t, "ID_NATUREZA_JURIDICA", textOf(initial, "natureza_juridica"));
    put(v, t, "NIRE", textOf(initial, "nire"));
    put(v, t, "ID_UNIDADE_AUXILIAR", textOf(initial, "unidade_auxiliar"));
    put(v, t, "ID_CNAEF_PRINCIPAL", textOf(initial, "cnaef_principal"));
    put(v, t, "ID_CAE", textOf(initial, "cae"));
    put(v, t, "ID_DESMEMBRAMENTO1", textOf(initial, "desmembramento_cnaef_principal"));
    put(v, t, "ID_CNAEF_SECUNDARIO", textOf(initial, "cnaef_secundaria"));
    put(v, t, "ID_DESMEMBRAMENTO2", textOf(initial, "desmembramento_cnaef_secundaria"));
    put(v, t, "ID_REGIME_RECOLHIMENTO", textOf(initial, "regime_recolhimento"));
    put(v, t, "RECEITA_BRUTA", textOf(initial, "limite_receita_bruta_anual_prevista"));
    put(v, t, "SUBSTITUTO_TRIBUTARIO", textOf(initial, "substituto_tributario"));
    plan.vinculo = textOf(initial, "incorporacao_fusao_cisao_total");
    put(v, t, "INSCRICAO_UNICA", textOf(initial, "ie_unificada"));
    if (const pugi::xml_node doc = initial.child("ident_contabilista_empresa_contabil")) {
        put(v, t, "DOCUMENTO_CONTABILISTA_TIPO", textOf(doc, "tipo"));
        put(v, t, "DOCUMENTO_CONTABILISTA_NUMERO", textOf(doc, "numero"));
    }
    put(v, t, "NOME_EMPRESARIAL", textOf(ident, "nome_empresarial"));
    put(v, t, "NOME_FANTASIA", textOf(ident, "nome_fantasia"));
    put(v, t, "DATA_INICIO_ATIVIDADE", textOf(ident, "data_inicio_atividade"));
    put(v, t, "IE_ESTADO_ORIGEM", textOf(ident, "ie_estado_origem"));
    put(v, t, "NUMERO_DAE", textOf(ident, "numero_dae_solicitacao_ie"));
    if (const pugi::xml_node special = ident.child("situacao_especial")) {
        put(v, t, "ID_SITUACAO_ESPESCIAL", QString::fromUtf8(special.attribute("situacao").value()));
        put(v, t, "PROCESSO_NUMERO", textOf(special, "numero_processo"));
        put(v, t, "PROCESSO_DATA_INICIO", textOf(special, "data_inicio"));
        put(v, t, "PROCESSO_DATA_FIM", textOf(special, "data_fim"));
    }
    if (const pugi::xml_node q = s.child("qualificacao")) {
        put(v, t, "CATEGORIA", textOf(q, "categoria"));
        put(v, t, "MATRIZ_IE", textOf(q, "ie_matriz_principal"));
        put(v, t, "ORGAO_LICENCIADOR", textOf(q, "numero_registro_orgao_licenciador"));
        put(v, t, "ID_FORMA_COMERCIALIZACAO", textOf(q, "formas_comercializacao"));
        put(v, t, "IND_LIVROS_FISCAIS", textOf(q, "permanencia_livros_escritorio_contabilidade"));
        put(v, t, "ID_CONVENIO_PROTOCOLO", textOf(q, "convenio_protocolo_substituicao_tributaria"));
    }
}

void parseRequest(pugi::xml_node dados, RestorePlan& plan)
{
    const pugi::xml_node s = dados.child("solicitacao");
    const pugi::xml_node places = s.child("endereco_comunicacao");
    plan.address = within(kEstablishmentAddress, [&] { return address(required(places, "estabelecimento")); });
    within(kCorrespondenceAddress, [&] {
        const pugi::xml_node c = places.child("correspondencia");
        if (c && cepGiven(c))
            plan.correspondence = address(c);
    });
    within(kRequestContact, [&] {
        const pugi::xml_node c = required(places, "comunicacao");
        if (contactGiven(c))
            plan.contact = contact(c);
    });
    within(kRequest, [&] { requestRow(s, plan); });
    if (valueOf(plan.filing, QStringLiteral("CATEGORIA")) == QVariant(qint64(1))) {
        for (pugi::xml_node p : s.children("socio"))
            plan.partners.push_back(within(kPartner, [&] { return partner(p); }));
    }
    for (pugi::xml_node r : s.children("responsavel"))
        plan.responsibles.push_back(within(kResponsible, [&] { return responsible(r); }));
    const pugi::xml_node ident = s.child("identificacao");
    within(kLinkedIe, [&] {
        for (pugi::xml_node ie : ident.child("ie_incorporadas_fundidas_cindidas").children("ie")) {
            Values row;
            put(row, "SOLICITACAO_IE_VINCULADO", "IE", QString::fromUtf8(ie.text().get()));
            plan.linkedIe << row.front().second.toString();
        }
    });
    within(kLinkedCnpj, [&] {
        for (pugi::xml_node cnpj : ident.child("cnpj_vinculado_ie_unificada").children("cnpj")) {
            const QString text = QString::fromUtf8(cnpj.text().get());
            // Cut into root, branch and check digits: anything but fourteen characters would
            // shift them.
            if (text.size() != 14)
                throw Error(kInvalidFormat + QStringLiteral("\r\nCNPJ vinculado com tamanho errado: \"%1\"").arg(shown(text)));
            Values row;
            put(row, "SOLICITACAO_CNPJ_VINCULADO", "CNPJ_NUCLEO", text.left(8));
            put(row, "SOLICITACAO_CNPJ_VINCULADO", "CNPJ_FILIAL", text.mid(8, 4));
            put(row, "SOLICITACAO_CNPJ_VINCULADO", "CNPJ_DV", text.mid(12, 2));
            plan.linkedCnpj.push_back(std::move(row));
        }
    });
}

void parseEnablement(pugi::xml_node dados, RestorePlan& plan)
{
    const pugi::xml_node h = dados.child("habilitacao");
    // The layout leaves out an empty address and an empty contact: what it wrote comes back.
    if (h.child("endereco"))
        plan.address = within(kEnablementAddress, [&] { return address(required(h, "endereco")); });
    if (h.child("comunicacao"))
        plan.contact = within(kEnablementContact, [&] { return contact(required(h, "comunicacao")); });
    within(kEnablement, [&] {
        if (!h)
            throw Error(kInvalidFormat);
        Values& v = plan.filing;
        const char* t = "SOLICITACAO_CONTAB";
        for (const auto& [attribute, column] : { std::pair { "data", "DATAHABILITACAOCONTABILISTA" },
                 std::pair { "status", "STATUS" }, std::pair { "datacriacao", "DATACRIACAO" } }) {
            if (const pugi::xml_attribute a = h.attribute(attribute))
                put(v, t, column, QString::fromUtf8(a.value()));
        }
        const pugi::xml_node id = h.child("identificacao");
        put(v, t, "TIPO_IDENTIFICACAO", textOf(id, "tipo"));
        const QString number = textOf(id, "numero");
        const bool cpf = valueOf(v, QStringLiteral("TIPO_IDENTIFICACAO")) == QVariant(qint64(4));
        if (cpf ? !docs::cpfIsValid(number) : !docs::cnpjIsValid(number))
            throw Error(QStringLiteral("%1 inválido: \"%2\"").arg(cpf ? QStringLiteral("CPF") : QStringLiteral("CNPJ"), shown(number)));
        put(v, t, "IDENTIFICACAO", number);
        const pugi::xml_node crc = h.child("crc");
        put(v, t, "UF_CRC", textOf(crc, "uf"));
        put(v, t, "CRC", textOf(crc, "numero"));
        put(v, t, "IDENTIFICADOR_CRC", textOf(crc, "identificador"));
        const pugi::xml_node r = h.child("responsavel");
        put(v, t, "CPF_RESPONSAVEL", textOf(r, "cpf"));
        put(v, t, "EMAIL_RESPONSAVEL", textOf(r, "e_mail"));
        put(v, t, "DATANACRESP", textOf(r, "data_nascimento"));
        put(v, t, "TIPO_SOLICITACAO_CONTAB", QStringLiteral("1"));
    });
}

Delivery delivery(pugi::xml_node e)
{
    Delivery d;
    try {
        const char* t = "ENTREGAS";
        put(d.values, t, "NUMEROPROTOCOLO", textOf(e, "num_protocolo"));
        put(d.values, t, "DATAHORAPROTOCOLO", textOf(e, "data_hora_protocolo"));
        put(d.values, t, "VERSAOJXTRANSMISSAO", textOf(e, "versao_jx_transmitida"));
        put(d.values, t, "FORMAENTREGA", textOf(e, "forma_entrega"));
        put(d.values, t, "NOMEARQUIVO", textOf(e, "nome_arquivo"));
        put(d.values, t, "VERIFICADORINTEGRIDADE", textOf(e, "verificador_integridade"));
        put(d.values, t, "IDENTIFICADORDISQUETE", textOf(e, "identificador_disquete"));
        // The reader turned the receipt's CR LF into LF; stored receipts end every line in CR LF.
        QString receipt = textOf(e, "recibo");
        receipt.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        d.values.emplace_back(QStringLiteral("RECIBO"),
            receipt.isEmpty() ? QVariant() : QVariant(Receipts::windows1252(receipt)));
    } catch (const Error& x) {
        d.values.clear();
        d.error = x.userText();
    }
    return d;
}

} // namespace

QVariant valueOf(const Values& values, const QString& column)
{
    for (const auto& [name, value] : values) {
        if (name == column)
            return value;
    }
    return {};
}

QString RestorePlan::identifier() const
{
    return valueOf(filing, kind == Kind::Request ? QStringLiteral("CNPJ") : QStringLiteral("IDENTIFICACAO")).toString();
}

void refuseForeignMarkup(const QByteArray& bytes)
{
    if (bytes.contains("<!"))
        invalid(QStringLiteral("O arquivo contém declarações (<!DOCTYPE, <!ENTITY, comentários ou CDATA) que uma cópia "
                               "do JX não tem."));
    static const QList<QByteArray> named { "amp", "lt", "gt", "quot", "apos" };
    for (qsizetype at = bytes.indexOf('&'); at >= 0; at = bytes.indexOf('&', at + 1)) {
        const qsizetype end = bytes.indexOf(';', at);
        const QByteArray name = end > at && end - at <= 12 ? bytes.mid(at + 1, end - at - 1) : QByteArray();
        bool reference = named.contains(name);
        if (!reference && name.size() > 1 && name.front() == '#') {
            const bool hex = name.size() > 2 && name.at(1) == 'x';
            bool ok = false;
            const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            reference = ok && (code == 9 || code == 10 || code == 13 || (code >= 0x20 && code <= 0xFF));
        }
        if (!reference)
            invalid(QStringLiteral("O arquivo contém a referência \"%1\", que não é aceita.")
                        .arg(QString::fromLatin1(bytes.mid(at, end > at && end - at <= 12 ? end - at + 1 : 12))));
    }
}

RestorePlan parseBackup(const QByteArray& dataSection, Kind kind)
{
    if (dataSection.size() > kMaxFileSize)
        invalid(QStringLiteral("Os dados passam de %1 bytes.").arg(kMaxFileSize));
    refuseForeignMarkup(dataSection);
    pugi::xml_document document;
    try {
        xmlpass::loadBytes(document, QByteArray("<dados>") + dataSection + QByteArray("</dados>"));
    } catch (const Error& e) {
        invalid(e.userText());
    }
    int roots = 0;
    for (pugi::xml_node n : document.children())
        roots += n.type() == pugi::node_element ? 1 : 0;
    const pugi::xml_node dados = document.document_element();
    if (roots != 1)
        invalid(QStringLiteral("Os dados fecham a seção <dados> antes do fim."));
    checkShape(dados, kind == Kind::Request ? requestShape() : enablementShape());

    RestorePlan plan;
    plan.kind = kind;
    within(kImportFailed, [&] {
        if (kind == Kind::Request)
            parseRequest(dados, plan);
        else
            parseEnablement(dados, plan);
    });
    for (pugi::xml_node e : dados.children("entrega"))
        plan.deliveries.push_back(delivery(e));
    return plan;
}

} // namespace jx::restore

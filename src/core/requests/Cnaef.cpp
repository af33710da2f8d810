#include "requests/Cnaef.h"

#include "data/TdtmJX.h"

#include <array>
#include <cmath>

namespace jx::cnaef {

using data::RecordSet;

int levelOf(const QString& code)
{
    switch (code.size()) {
    case 1:
        return 1;
    case 2:
        return 2;
    case 3:
        return 3;
    case 6:
        return 4;
    case 9:
        return 5;
    default:
        return 0;
    }
}

std::vector<Node> buildTree(const RecordSet& rows)
{
    std::vector<Node> nodes;
    nodes.reserve(size_t(rows.count()));
    const int codeField = rows.fieldIndex("COD_FORMATADO");
    const int descriptionField = rows.fieldIndex("DESCRICAO");
    std::array<int, 6> latest;
    latest.fill(-1);
    for (int v = 0; v < rows.count(); ++v) {
        const QString code = rows.valueAt(v, codeField).toString().trimmed();
        const int level = levelOf(code);
        if (level == 0 || (level == 1 && code == QLatin1String("0")))
            continue;
        Node node;
        node.code = code;
        node.level = level;
        node.text = code + QStringLiteral(" - ") + rows.valueAt(v, descriptionField).toString().trimmed();
        node.parent = level > 1 ? latest[level - 1] : -1;
        const int index = int(nodes.size());
        if (node.parent >= 0)
            nodes[size_t(node.parent)].children.push_back(index);
        latest[level] = index;
        nodes.push_back(std::move(node));
    }
    return nodes;
}

QString extractCode(const QString& text)
{
    QString code;
    for (const QChar c : text) {
        if (c == u' ')
            break;
        if (c == u'-' || c == u'/' || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z'))
            code += c;
    }
    return code;
}

QVariant listKey(const QVariant& id)
{
    return QVariant(qint64(id.isNull() ? 0 : std::llround(id.toString().toDouble())));
}

bool isChoosable(const QString& code)
{
    return code.size() > 8;
}

Choice::Choice(TdtmJX& jx)
    : m_jx(jx)
{
}

void Choice::choose(bool principal, const QString& code)
{
    RecordSet& request = *m_jx.cdsSolicitacaoIE;
    RecordSet& rows = *m_jx.cdsCNAEF;
    request.setValue(principal ? "NUMCNAEF_P" : "NUMCNAEF_S", code);
    const int codeField = rows.fieldIndex("COD_FORMATADO");
    for (int v = 0; v < rows.count(); ++v) {
        if (rows.valueAt(v, codeField).toString().trimmed() == code) {
            rows.moveTo(v);
            request.setValue(principal ? "DESCCNAEF_P" : "DESCCNAEF_S", rows.value("DESCRICAO"));
            request.setValue(principal ? "ID_CNAEF_PRINCIPAL" : "ID_CNAEF_SECUNDARIO", rows.value("ID_CNAEF"));
            break;
        }
    }
    RecarregarDesmembramentos();
    RecarregarCAE();
}

DependentList Choice::refresh(
    RecordSet& list, const QString& param, const QVariant& chosen, const char* target, const char* key)
{
    list.setParam(param, listKey(chosen));
    m_jx.openSet(list);
    DependentList look;
    if (list.count() >= 2) {
        look.listEnabled = true;
    } else if (list.count() == 1) {
        look.listVisible = false;
        look.textVisible = true;
        look.text = list.text("DESCRICAO");
        m_jx.cdsSolicitacaoIE->setValue(QLatin1String(target), list.value(QLatin1String(key)));
    } else if (QLatin1String(target) == QLatin1String("ID_CAE")) {
        if (!m_jx.cdsSolicitacaoIE->value("ID_CAE").isNull())
            m_jx.cdsSolicitacaoIE->setValue("ID_CAE", QVariant());
    }
    return look;
}

void Choice::RecarregarDesmembramentos()
{
    const RecordSet& request = *m_jx.cdsSolicitacaoIE;
    RecordSet& rows = *m_jx.cdsCNAEF;
    // The chosen entry as it is valid today; an entry no longer valid counts as none.
    auto valid = [&rows](const QVariant& id) {
        return !id.isNull() && rows.locate("ID_CNAEF", id) ? rows.value("ID_CNAEF") : QVariant();
    };
    m_desm1 = refresh(*m_jx.cdsDesmembramento1, QStringLiteral("PAR"), valid(request.value("ID_CNAEF_PRINCIPAL")),
        "ID_DESMEMBRAMENTO1", "ID_CNAEF");
    m_desm2 = refresh(*m_jx.cdsDesmembramento2, QStringLiteral("COD"), valid(request.value("ID_CNAEF_SECUNDARIO")),
        "ID_DESMEMBRAMENTO2", "ID_CNAEF");
}

void Choice::RecarregarCAE()
{
    m_cae = refresh(*m_jx.cdsCAE, QStringLiteral("PAR"), m_jx.cdsSolicitacaoIE->value("ID_CNAEF_PRINCIPAL"), "ID_CAE",
        "ID_CAE");
}

} // namespace jx::cnaef

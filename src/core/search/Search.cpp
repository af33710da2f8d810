#include "search/Search.h"

#include "data/TdtmJX.h"
#include "db/Sqlite.h"
#include "platform/UserPrompts.h"

#include <QSet>

namespace jx {

using data::FieldType;
using data::RecordSet;

namespace browser {

const QList<QPair<QString, QString>>& requestColumns()
{
    static const QList<QPair<QString, QString>> columns { { "DESC_CNPJ", QStringLiteral("CNPJ") },
        { "NOME_EMPRESARIAL", QStringLiteral("Nome Empresarial") }, { "STATUS", QStringLiteral("Status") } };
    return columns;
}

const QList<QPair<QString, QString>>& enablementColumns()
{
    static const QList<QPair<QString, QString>> columns { { "DESC_IDENTIFICACAO", QStringLiteral("Identificação") },
        { "UF_CRC", QStringLiteral("UF CRC") }, { "CRC", QStringLiteral("CRC") },
        { "IDENTIFICADOR_CRC", QStringLiteral("Identificador CRC") }, { "STATUS", QStringLiteral("Status") } };
    return columns;
}

} // namespace browser

namespace {

bool numeric(FieldType type)
{
    return type == FieldType::Integer || type == FieldType::SmallInt || type == FieldType::AutoInc
        || type == FieldType::Real || type == FieldType::Decimal;
}

QString asciiLower(QString text)
{
    for (QChar& c : text) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return text;
}

// LIKE with the typed text taken literally: its own % and _ (and the escape) escaped.
QString likePattern(const QString& value)
{
    QString escaped;
    for (const QChar c : value) {
        if (c == u'%' || c == u'_' || c == u'\\')
            escaped += u'\\';
        escaped += c;
    }
    return u'%' + escaped + u'%';
}

} // namespace

Search::Options Search::optionsFor(const QString& title, FieldType type)
{
    Options options;
    options.forms << Form::Exact;
    for (const char* word : { "Data ", "Valor", "Vlr", "Subsérie" }) {
        if (title.contains(QString::fromUtf8(word))) {
            options.dateMask = title.contains(QLatin1String("Data "));
            return options;
        }
    }
    if (type == FieldType::Text) {
        options.forms << Form::Partial << Form::StartsWith;
        options.chosen = Form::Partial;
    }
    return options;
}

Search::Search(TdtmJX& jx, RecordSet& set, const QString& table, const QString& key)
    : m_jx(jx)
    , m_set(set)
    , m_table(table)
    , m_key(key)
{
}

Search::Outcome Search::confirm(const QString& title, const QString& value, Form form, bool dateMasked)
{
    UserPrompts& prompts = m_jx.prompts();
    QString year = value.mid(6, 4);
    year.remove(u' ');
    if (dateMasked && year.size() < 4) {
        prompts.error(kBadDate);
        return Outcome::Refused;
    }
    int index = -1;
    for (int f = 0; f < m_set.fieldCount() && index < 0; ++f) {
        if (m_set.field(f).label == title)
            index = f;
    }
    if (index < 0)
        return Outcome::NoColumn;
    if (value.isEmpty()) {
        prompts.information(kEmptyValue);
        return Outcome::Refused;
    }
    const data::Field& field = m_set.field(index);
    m_field = index;
    m_value = value;
    m_form = form;
    m_marked = false;
    bool found = false;
    if (form == Form::Exact || (form == Form::Partial && numeric(field.type))) {
        found = m_jx.locateByTypedValue(m_set, value, field.name);
    } else if (form == Form::StartsWith) {
        for (int v = 0; v < m_set.count() && !found; ++v) {
            if (m_set.valueAt(v, index).toString().startsWith(value)) {
                m_set.moveTo(v);
                found = true;
            }
        }
    } else {
        found = partial(index, value);
    }
    if (!found)
        prompts.information(kNothingFound);
    return found ? Outcome::Found : Outcome::NotFound;
}

bool Search::partial(int index, const QString& value)
{
    const data::Field& field = m_set.field(index);
    QSet<QString> keys;
    if (field.computed || field.memory) {
        // Not a column of the table: matched on the rows themselves.
        // Case aside as the table's LIKE does it (ASCII letters only), so that both agree.
        const int key = m_set.fieldIndex(m_key);
        const QString wanted = asciiLower(value);
        for (int v = 0; v < m_set.count(); ++v) {
            if (asciiLower(m_set.valueAt(v, index).toString()).contains(wanted))
                keys.insert(m_set.valueAt(v, key).toString());
        }
    } else {
        // Names come from the program, the value is bound: a quote or a crafted value is
        // searched for as typed.
        m_jx.selectIntoGeral(QStringLiteral("SELECT %1 FROM %2 WHERE %3 LIKE :VALOR ESCAPE '\\'")
                                 .arg(m_key, m_table, field.name),
            { { QStringLiteral("VALOR"), likePattern(value) } });
        RecordSet& found = *m_jx.cdsGeral;
        const int key = found.fieldIndex(m_key);
        for (int v = 0; v < found.count(); ++v)
            keys.insert(found.valueAt(v, key).toString());
    }
    // Only keys the browser holds count: nothing else may reorder it.
    const int key = m_set.fieldIndex(m_key);
    bool any = false;
    for (int v = 0; v < m_set.count() && !any; ++v)
        any = keys.contains(m_set.valueAt(v, key).toString());
    if (!any)
        return false;
    TdtmJX::DetailReactionOff quiet(m_jx, m_set);
    m_set.clearSort();
    m_set.setMarks(kMarkField, [this, key, &keys](int raw) {
        return QVariant(keys.contains(m_set.rawValue(raw, key).toString()) ? 1 : 2);
    });
    m_set.sortBy(kMarkField);
    m_set.moveTo(0);
    m_marked = true;
    quiet.end(); // the details of the first match, with any failure reported
    return true;
}

QList<int> Search::matchingRows() const
{
    QList<int> rows;
    if (m_field < 0 || m_set.isEmpty())
        return rows;
    if (m_marked) {
        const int mark = m_set.fieldIndex(kMarkField);
        for (int v = 0; v < m_set.count(); ++v)
            if (m_set.valueAt(v, mark).toInt() == 1)
                rows << v;
        return rows;
    }
    // The row found holds the value as stored; its equals are the other matches.
    const QVariant found = m_set.value(m_set.field(m_field).name);
    for (int v = 0; v < m_set.count(); ++v) {
        const QVariant candidate = m_set.valueAt(v, m_field);
        if (m_form == Form::StartsWith ? candidate.toString().startsWith(m_value) : candidate == found)
            rows << v;
    }
    return rows;
}

} // namespace jx

#include "data/Lookup.h"

#include "data/RecordSet.h"

namespace jx::data {

Lookup::Lookup(RecordSet& set, const QString& keyField)
    : QObject(&set)
    , m_set(set)
    , m_keyField(keyField)
{
    connect(&set, &RecordSet::dataReset, this, [this] {
        m_built = false;
        m_index.clear();
    });
}

QString Lookup::normalized(const QVariant& key)
{
    if (key.isNull())
        return {};
    bool numeric = false;
    const double number = key.toDouble(&numeric);
    if (numeric && key.typeId() != QMetaType::QString)
        return QString::number(number, 'g', 17);
    if (numeric && !key.toString().trimmed().isEmpty())
        return QString::number(number, 'g', 17);
    return key.toString();
}

QVariant Lookup::find(const QVariant& key, const QString& resultField) const
{
    if (key.isNull() || !m_set.isOpen())
        return {};
    if (!m_built) {
        const int keyIndex = m_set.fieldIndex(m_keyField);
        for (int raw = 0; raw < m_set.rawCount(); ++raw) {
            const QString k = normalized(m_set.rawValue(raw, keyIndex));
            if (!m_index.contains(k))
                m_index.insert(k, raw);
        }
        m_built = true;
    }
    const auto it = m_index.constFind(normalized(key));
    if (it == m_index.constEnd())
        return {};
    return m_set.rawValue(it.value(), resultField);
}

} // namespace jx::data

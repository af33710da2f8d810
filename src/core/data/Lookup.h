#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

namespace jx::data {

class RecordSet;

// Finds reference rows by key for the derived columns. The index over a record set is
// built on first use and dropped whenever the set is reread.
class Lookup : public QObject {
    Q_OBJECT

public:
    Lookup(RecordSet& set, const QString& keyField);

    // The value of resultField in the row whose key equals key; null when none.
    QVariant find(const QVariant& key, const QString& resultField) const;
    QString text(const QVariant& key, const QString& resultField) const { return find(key, resultField).toString(); }

    static QString normalized(const QVariant& key);

private:
    RecordSet& m_set;
    QString m_keyField;
    mutable QHash<QString, int> m_index;
    mutable bool m_built = false;
};

} // namespace jx::data

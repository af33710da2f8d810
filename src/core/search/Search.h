#pragma once

#include "data/RecordSet.h"

#include <QList>
#include <QPair>
#include <QString>

namespace jx {

class TdtmJX;

// The browsers' columns (field, title), shared by the windows and jxctl.
namespace browser {
const QList<QPair<QString, QString>>& requestColumns();
const QList<QPair<QString, QString>>& enablementColumns();
} // namespace browser

// The generic search of the filing browsers: a column chosen by its title, a typed value
// and a form of matching; the browser's set moves to the first match or lists the matches first.
class Search {
public:
    enum class Form { Exact, Partial, StartsWith };
    struct Options {
        QList<Form> forms; // always starting with Exact
        Form chosen = Form::Exact;
        bool dateMask = false;
    };
    // The forms offered for a column of this title and type.
    static Options optionsFor(const QString& title, data::FieldType type);

    Search(TdtmJX& jx, data::RecordSet& set, const QString& table, const QString& key);

    enum class Outcome { Found, NotFound, Refused, NoColumn };
    // dateMasked: the value was typed through the date mask. Found moves the set (exact,
    // starting with) or orders it with the matches first (partial); NotFound shows its
    // message; Refused has shown why.
    Outcome confirm(const QString& title, const QString& value, Form form, bool dateMasked);

    static inline const QString kBadDate = QStringLiteral("Formato de data inválido!");
    static inline const QString kEmptyValue = QStringLiteral("Digite um valor para a realização da pesquisa!");
    static inline const QString kNothingFound
        = QStringLiteral("Não há registros para o parâmetro de pesquisa informado!");
    static inline const QString kMarkField = QStringLiteral("ID");

    // After a confirmation that found something: the visible rows that match, in order (the
    // marked rows of a partial search, or every row equal to / starting with the value).
    QList<int> matchingRows() const;

private:
    bool partial(int fieldIndex, const QString& value);

    int m_field = -1;
    QString m_value;
    Form m_form = Form::Exact;
    bool m_marked = false;

    TdtmJX& m_jx;
    data::RecordSet& m_set;
    QString m_table;
    QString m_key;
};

} // namespace jx

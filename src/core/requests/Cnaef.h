#pragma once

#include <QString>
#include <QVariant>

#include <vector>

namespace jx {

class TdtmJX;

namespace data {
class RecordSet;
}

// The CNAE-F classification as the choice dialog shows it, and what a choice sets on the
// request: the chosen entry, its CAE and its desmembramento.
namespace cnaef {

struct Node {
    QString text; // trimmed code, " - ", trimmed description
    QString code;
    int level = 0; // 1 … 5
    int parent = -1; // index of the parent node, -1 for a root
    std::vector<int> children;
};

// The level of a trimmed formatted code by its length (1, 2, 3, 6, 9 characters give the
// levels 1 to 5); 0 for any other length.
int levelOf(const QString& trimmedCode);
// The tree from the rows in their stored order: every entry follows the one it belongs to;
// a node hangs under the most recent node of the level above, or is a root when there is
// none yet. The entry "0" is left out.
std::vector<Node> buildTree(const data::RecordSet& rows);
// The code of a node's text: up to the first blank, keeping "-", "/", digits and A–Z.
QString extractCode(const QString& nodeText);
// Only last-level entries (codes longer than 8 characters) can be chosen.
bool isChoosable(const QString& code);

// A CNAE-F key as the parameter of its dependent lists: the keys are whole numbers held as
// reals while the link columns may hold them as text ("491" matches, "491.0" would not);
// no entry gives 0.
QVariant listKey(const QVariant& id);

inline const QString kNotLastLevel = QStringLiteral("A CNAE-F selecionado deve ser do último nível!");

// How a dependent list shows: a drop-down of two or more entries, a single value shown as
// text (and stored), or a disabled empty drop-down.
struct DependentList {
    bool listVisible = true;
    bool listEnabled = false;
    bool textVisible = false;
    QString text;
};

// The choices on the current request (which must be in editing).
class Choice {
public:
    explicit Choice(TdtmJX& jx);

    // Stores the code, its description and its key as the principal (or secondary) entry,
    // then refreshes the dependent lists.
    void choose(bool principal, const QString& code);
    // RecarregarDesmembramentos: the principal's and the secondary's lists.
    void RecarregarDesmembramentos();
    // RecarregarCAE: the principal's CAE list.
    void RecarregarCAE();

    const DependentList& desmembramento(bool principal) const { return principal ? m_desm1 : m_desm2; }
    const DependentList& cae() const { return m_cae; }

private:
    DependentList refresh(data::RecordSet& list, const QString& param, const QVariant& chosen, const char* target,
        const char* key);

    TdtmJX& m_jx;
    DependentList m_desm1;
    DependentList m_desm2;
    DependentList m_cae;
};

} // namespace cnaef
} // namespace jx

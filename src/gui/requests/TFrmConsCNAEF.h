#pragma once

#include "TFrmPadrao.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace jx {
class TdtmJX;
class UserPrompts;
} // namespace jx

namespace jx::gui {

class Commands;

// "Consulta CNAE-F": the whole classification as a tree; only a last-level entry can be
// chosen (Salvar, Enter or a double click). The caller reads chosenCode() after OK.
class TFrmConsCNAEF : public TFrmPadrao {
    Q_OBJECT

public:
    TFrmConsCNAEF(Commands& commands, TdtmJX& jx, UserPrompts& prompts, QWidget* parent = nullptr);

    void done(int result) override;
    QTreeWidget* tree() const { return m_tree; }
    const QString& chosenCode() const { return m_code; }
    // Salvar: closes with OK on a last-level entry, otherwise says why and stays.
    void choose();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();

    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    QTreeWidget* m_tree;
    QString m_code;
    bool m_choosing = false;
};

} // namespace jx::gui

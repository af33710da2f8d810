#pragma once

#include "Binders.h"
#include "PendingForm.h"
#include "TFrmPadrao.h"
#include "requests/Cnaef.h"
#include "requests/RequestFormRules.h"

#include <QHash>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class QTableView;

namespace jx {
class TdtmJX;
class RequestLifecycle;
class UserPrompts;
} // namespace jx

namespace jx::data {
class RecordSet;
}

namespace jx::gui {

class Commands;

// The request form: "Dados Iniciais" and "Outros" with its six inner tabs, every control
// bound to the request or its detail sets; the rules of the form keep labels and fields in
// step as the user types.
class TFrmSolicitacaoIE : public TFrmPadrao, public PendingForm {
    Q_OBJECT

public:
    TFrmSolicitacaoIE(
        Commands& commands, TdtmJX& jx, RequestLifecycle& lifecycle, UserPrompts& prompts, QWidget* parent = nullptr);

    void done(int result) override;
    // The save of the form's "&Salvar".
    bool save();

    QTabWidget* topTabs() const { return m_top; }
    QTabWidget* innerTabs() const { return m_inner; }
    QLabel* caption(const QString& name) const { return m_labels.value(name); }
    QWidget* control(const QString& name) const { return m_controls.value(name); }
    const RequestFormState& state() const { return m_state; }
    void applyRules(bool localisation);
    // The typed dates; the first invalid one says "Data Inválida!" and takes the focus.
    bool datesValid() override;
    int filingKind() const override { return 1; }
    void takeTyping() override { commitTyping(); }
    void focusPending(const QString& control, int row) override;
    // Opens the pending-item list when the save's question is answered Sim.
    std::function<void()> showPendingList;
    // Stores a CNAE-F chosen in the tree and refreshes the CAE and desmembramento lists.
    void chooseCnaef(bool principal, const QString& code);
    const cnaef::Choice& cnaefChoice() const { return m_cnaef; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildDadosIniciais();
    QWidget* buildIdentificacao();
    QWidget* buildQualificacao();
    QWidget* buildEnderecoComunicacao();
    QWidget* buildGrid(const QString& title, const QString& gridName, const QList<QPair<QString, QString>>& columns,
        const QStringList& commandNames, const QString& orderName, data::RecordSet& set);
    QWidget* buildContabilistas();
    QLabel* label(const QString& text, const QString& name = {});
    QLineEdit* edit(const QString& name, data::RecordSet& set, const QString& field, const bind::EditOptions& options);
    QComboBox* lookup(const QString& name, const QString& field, data::RecordSet& reference, const QString& key,
        const QString& display, std::function<void()> after = {});
    QButtonGroup* radio(const QString& name, const QString& field, const QStringList& captions,
        const QVariantList& values, std::function<void()> after = {});

    void onTabChanging(QTabWidget* tabs, int index, int& previous);
    void showState();
    void showDependentLists();

    Commands& m_commands;
    TdtmJX& m_jx;
    RequestLifecycle& m_lifecycle;
    UserPrompts& m_prompts;
    QTabWidget* m_top = nullptr;
    QTabWidget* m_inner = nullptr;
    int m_topIndex = 0;
    int m_innerIndex = 0;
    QVariant m_rememberedVinculo;
    RequestFormState m_state;
    cnaef::Choice m_cnaef;
    QHash<QString, QLabel*> m_labels;
    QHash<QString, QWidget*> m_controls;
    QLineEdit* m_dataInicio = nullptr;
    QLineEdit* m_processoInicio = nullptr;
    QLineEdit* m_processoFim = nullptr;
};

} // namespace jx::gui

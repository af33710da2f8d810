#pragma once

#include "TFrmPadrao.h"
#include "requests/LinkedEstablishments.h"

#include <functional>

class QLineEdit;
class QTableView;

namespace jx {
class LinkedEstablishments;
class UserPrompts;
namespace data {
class RecordSet;
}
} // namespace jx

namespace jx::gui {

class Commands;

// A list of linked rows of the request with Inserir and Excluir above it, Fechar and Ajuda
// below, and a context menu.
class LinkedListWindow : public TFrmPadrao {
    Q_OBJECT

public:
    QTableView* grid() const { return m_grid; }

protected:
    LinkedListWindow(Commands& commands, data::RecordSet& rows, const QString& field, const QString& title,
        const QString& insertCommand, const QString& deleteCommand, QWidget* parent);

private:
    QTableView* m_grid;
};

// "Inscrições Estaduais dos Estabelecimentos Vinculados".
class TFrmIEEstabVinc : public LinkedListWindow {
    Q_OBJECT

public:
    TFrmIEEstabVinc(Commands& commands, LinkedEstablishments& linked, QWidget* parent = nullptr);
};

// "CNPJ dos Estabelecimentos Vinculados".
class TFrmCNPJEstabVinc : public LinkedListWindow {
    Q_OBJECT

public:
    TFrmCNPJEstabVinc(Commands& commands, LinkedEstablishments& linked, QWidget* parent = nullptr);
};

// One masked number; Salvar runs the checks (a refusal keeps the dialog open), any other
// close asks before the pending row goes.
class LinkedEntryDialog : public TFrmPadrao {
    Q_OBJECT

public:
    void done(int result) override;
    QLineEdit* edit() const { return m_edit; }
    // The checks and the store; the dialog shows the message of a failed check.
    std::function<LinkedEstablishments::Result(const QString& digits)> confirm;

protected:
    LinkedEntryDialog(Commands& commands, LinkedEstablishments& linked, UserPrompts& prompts, const QString& title,
        const QString& caption, const QString& mask, int maxLength, QWidget* parent);

private:
    LinkedEstablishments& m_linked;
    UserPrompts& m_prompts;
    QLineEdit* m_edit;
    QString m_mask;
};

class TFrmNovaIESolicEstabVinc : public LinkedEntryDialog {
    Q_OBJECT

public:
    TFrmNovaIESolicEstabVinc(
        Commands& commands, LinkedEstablishments& linked, UserPrompts& prompts, QWidget* parent = nullptr);
};

class TFrmNovaCNPJEstabVinc : public LinkedEntryDialog {
    Q_OBJECT

public:
    TFrmNovaCNPJEstabVinc(
        Commands& commands, LinkedEstablishments& linked, UserPrompts& prompts, QWidget* parent = nullptr);
};

} // namespace jx::gui

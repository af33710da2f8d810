#pragma once

#include <QDialog>

class QPushButton;

namespace jx::gui {

class Commands;

// "CNPJ já existente": Cancelar (result Rejected), Editar (result No) and the hidden
// "Criar Novo" (result Yes). Ctrl+E edits. Placed at 328, 190 on the screen.
class TFrmPergunta : public QDialog {
    Q_OBJECT

public:
    enum Result { Cancel = QDialog::Rejected, No = 7, Yes = 6 };

    explicit TFrmPergunta(Commands& commands, QWidget* parent = nullptr);

    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* editButton() const { return m_edit; }
    QPushButton* createButton() const { return m_create; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* m_cancel;
    QPushButton* m_edit;
    QPushButton* m_create;
};

} // namespace jx::gui

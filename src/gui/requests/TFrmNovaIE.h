#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;

namespace jx::gui {

class Commands;

// The new-request dialog: the CNPJ and, for a branch, the head office's registration.
// Enter in the CNPJ moves on; Enter in the registration confirms. The dialog stays open
// while the confirmation refuses the input.
class TFrmNovaIE : public QDialog {
    Q_OBJECT

public:
    explicit TFrmNovaIE(Commands& commands, QWidget* parent = nullptr);

    QLineEdit* cnpjEdit() const { return m_cnpj; }
    QLineEdit* matrizEdit() const { return m_ie; }
    // As stored: without the mask's punctuation, letters of an alphanumeric CNPJ kept.
    QString typedCnpj() const;
    QString matrizDigits() const;

    // Runs the confirmation: returns true when the dialog may close.
    std::function<bool()> confirm;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* m_cnpj;
    QLineEdit* m_ie;
};

} // namespace jx::gui

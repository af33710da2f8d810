#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class QGroupBox;
class QLabel;
class QWidget;

namespace jx::data {
class RecordSet;
}

namespace jx::gui {

class Commands;

// The address of an owner shown read-only (CEP, UF, município, distrito, bairro, street,
// número, complements) with the link buttons of the owner's address commands.
QGroupBox* addressDisplay(QWidget* parent, const QString& title, const QString& prefix, data::RecordSet& address,
    Commands& commands, const QStringList& commandNames);

// The contact data of an owner, edited in place: telephone, fax, e-mail, post-office box
// and its CEP. Captions and edits are returned by field name.
struct ContactBlock {
    QGroupBox* box = nullptr;
    QHash<QString, QLabel*> captions;
    QHash<QString, QWidget*> edits;
};
struct ContactCaptions {
    QString title = QStringLiteral(" Dados de Comunicação");
    QString fax = QStringLiteral("Fax: ");
    QString email = QStringLiteral("E-Mail:");
    bool emailLower = true; // the responsible form keeps the e-mail as typed
};
ContactBlock contactBlock(QWidget* parent, data::RecordSet& contact, const ContactCaptions& captions = {});

void setBold(QLabel* label, bool bold);

} // namespace jx::gui

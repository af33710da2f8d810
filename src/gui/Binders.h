#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace jx::data {
class RecordSet;
}

namespace jx::gui {

// Small bindings of controls to one field of a record set: the control shows the current
// row's value and writes what the user typed back into the field.
namespace bind {

struct EditOptions {
    QString mask; // the system's mask notation; empty for none
    bool upper = false;
    bool lower = false;
    bool replaceAmpersand = false; // "&" becomes "e"
    bool replaceBrackets = false; // "<" "(" and ">" ")"
    bool digitsOnly = false;
    int maxLength = 0;
};

// A text edit bound to a field; the value is written when editing finishes.
void lineEdit(QLineEdit* edit, data::RecordSet& set, const QString& field, const EditOptions& options = {});
// A date typed as dd/mm/yyyy; shows the stored ISO date and writes nothing itself (the
// save checks and stores the typed dates).
void dateEdit(QLineEdit* edit, data::RecordSet& set, const QString& field);
// A read-only display of a field (through a display mask when given).
void label(QLabel* label, data::RecordSet& set, const QString& field, const QString& mask = {});
void memo(QPlainTextEdit* memo, data::RecordSet& set, const QString& field);
// A read-only edit showing a display field; Del or Backspace in it clears clearField.
void displayEdit(QLineEdit* edit, data::RecordSet& set, const QString& displayField, const QString& clearField);
// A drop-down listing displayField of the reference rows and storing their keyField; Del
// clears the value.
void lookup(QComboBox* combo, data::RecordSet& set, const QString& field, data::RecordSet& reference,
    const QString& keyField, const QString& displayField, std::function<void()> afterChoice = {});
// Radio buttons (ids 0..n-1) storing values[id].
void radio(QButtonGroup* group, data::RecordSet& set, const QString& field, const QVariantList& values,
    std::function<void()> afterClick = {});

// The typed-text transformation of an edit.
QString transform(const QString& text, const EditOptions& options);

} // namespace bind
} // namespace jx::gui

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
class QTableView;

namespace jx::data {
class RecordSet;
}

namespace jx::gui {

// Small bindings of controls to one field of a record set: the control shows the current
// row's value and writes what the user typed back into the field.
namespace bind {

struct EditOptions {
    QString mask; // the system's mask notation; empty for none (setMask changes it later)
    bool money = false; // a decimal shown "#.00" and typed in the Brazilian form
    bool upper = false;
    bool lower = false;
    bool replaceAmpersand = false; // "&" becomes "e"
    bool replaceBrackets = false; // "<" "(" and ">" ")"
    bool digitsOnly = false;
    int maxLength = 0;
    int decimals = -1; // a real shown with this many decimals and a decimal comma
    // Stores the typed text itself; returns the message of a refusal (empty when stored). The
    // edit's property "jxRefusals" counts the refusals, so a window can tell one happened.
    std::function<QString(const QString&)> store;
};

// Where a value the record set refuses is reported (the shell shows it in an error box).
void setErrorSink(std::function<void(const QString&)> sink);

// A text edit bound to a field; the value is written when editing finishes. A value the
// field refuses is reported and the edit shows the stored value again.
void lineEdit(QLineEdit* edit, data::RecordSet& set, const QString& field, const EditOptions& options = {});
// Changes the mask of a bound edit (system notation, empty for none) and shows the stored
// value through it, or what is being typed, laid into the new mask; what is typed is stored
// without the mask's literals.
void setMask(QLineEdit* edit, const QString& mask);
// Where the mask has letter positions, only the letters A to Z may be typed there.
void documentLetters(QLineEdit* edit, const QString& mask);
// A date typed as dd/mm/yyyy; shows the stored ISO date and writes a valid or blank date
// when editing finishes (an invalid one is left for the save's check to report).
void dateEdit(QLineEdit* edit, data::RecordSet& set, const QString& field);
// A read-only display of a field (through a display mask when given).
void label(QLabel* label, data::RecordSet& set, const QString& field, const QString& mask = {});
void memo(QPlainTextEdit* memo, data::RecordSet& set, const QString& field);
// A read-only edit showing a display field; Del or Backspace in it clears clearField.
void displayEdit(QLineEdit* edit, data::RecordSet& set, const QString& displayField, const QString& clearField);
// A drop-down listing displayField of the reference rows and storing their keyField; Del
// clears the value. The item shown is the one whose key equals the stored value, compared
// as numbers when both are numbers and as texts otherwise.
// keep, when given, says which reference rows are offered.
void lookup(QComboBox* combo, data::RecordSet& set, const QString& field, data::RecordSet& reference,
    const QString& keyField, const QString& displayField, std::function<void()> afterChoice = {},
    std::function<bool(const QVariant&)> keep = {});
// Radio buttons (ids 0..n-1) storing values[id].
void radio(QButtonGroup* group, data::RecordSet& set, const QString& field, const QVariantList& values,
    std::function<void()> afterClick = {});

// A grid's current row is the record set's current row, both ways: what the user selects is
// what the commands act on, and the selection shows the row they will act on.
void gridCursor(QTableView* grid, data::RecordSet& set);

// The typed-text transformation of an edit.
QString transform(const QString& text, const EditOptions& options);
// Whether a look-up item's key is the stored value.
bool sameKey(const QVariant& itemKey, const QVariant& stored);

} // namespace bind
} // namespace jx::gui

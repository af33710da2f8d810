#include "Binders.h"

#include "data/RecordSet.h"
#include "text/Masks.h"
#include "text/TextUtils.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>

namespace jx::gui::bind {

using data::RecordSet;

namespace {

void onRefresh(QObject* owner, RecordSet& set, std::function<void()> refresh)
{
    QObject::connect(&set, &RecordSet::currentChanged, owner, refresh);
    QObject::connect(&set, &RecordSet::dataReset, owner, refresh);
    QObject::connect(&set, &RecordSet::valuesChanged, owner, refresh);
    QObject::connect(&set, &RecordSet::rowChanged, owner, [refresh](int) { refresh(); });
    QObject::connect(&set, &RecordSet::stateChanged, owner, refresh);
    refresh();
}

// Del (or Backspace) in a drop-down clears the stored value.
class ClearOnDelete : public QObject {
public:
    ClearOnDelete(QObject* owner, std::function<void()> clear)
        : QObject(owner)
        , m_clear(std::move(clear))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
                m_clear();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_clear;
};

} // namespace

QString transform(const QString& text, const EditOptions& options)
{
    return text::typed(text, options.upper, options.lower, options.replaceAmpersand, options.replaceBrackets);
}

void lineEdit(QLineEdit* edit, RecordSet& set, const QString& field, const EditOptions& options)
{
    if (!options.mask.isEmpty())
        edit->setInputMask(masks::toQtInputMask(options.mask));
    if (options.maxLength > 0)
        edit->setMaxLength(options.maxLength);
    if (options.digitsOnly)
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    auto refresh = [edit, &set, field, options] {
        if (edit->hasFocus() && edit->isModified())
            return;
        const QString stored = set.isOpen() && !set.isEmpty() ? set.value(field).toString() : QString();
        edit->setText(options.mask.isEmpty() ? stored : masks::apply(stored, options.mask));
        edit->setModified(false);
    };
    onRefresh(edit, set, refresh);
    if (options.upper || options.lower || options.replaceAmpersand || options.replaceBrackets) {
        QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, options](const QString& text) {
            const QString changed = transform(text, options);
            if (changed != text) {
                const int cursor = edit->cursorPosition();
                edit->setText(changed);
                edit->setCursorPosition(cursor);
                edit->setModified(true);
            }
        });
    }
    QObject::connect(edit, &QLineEdit::editingFinished, edit, [edit, &set, field, options] {
        if (!set.isOpen() || set.isEmpty() || !edit->isModified())
            return;
        // displayText keeps every position of the mask, so literals can be told from typing.
        const QString value = options.mask.isEmpty() ? edit->text() : masks::strip(edit->displayText(), options.mask);
        set.setValue(field, value.isEmpty() ? QVariant() : QVariant(value));
        edit->setModified(false);
    });
}

void dateEdit(QLineEdit* edit, RecordSet& set, const QString& field)
{
    edit->setInputMask(QStringLiteral("00/00/0000; "));
    auto refresh = [edit, &set, field] {
        if (edit->hasFocus() && edit->isModified())
            return;
        const QString iso = set.isOpen() && !set.isEmpty() ? set.value(field).toString() : QString();
        const QDate date = QDate::fromString(iso.left(10), Qt::ISODate);
        edit->setText(date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString());
        edit->setModified(false);
    };
    onRefresh(edit, set, refresh);
}

void label(QLabel* target, RecordSet& set, const QString& field, const QString& mask)
{
    onRefresh(target, set, [target, &set, field, mask] {
        const QString value = set.isOpen() && !set.isEmpty() ? set.value(field).toString() : QString();
        target->setText(mask.isEmpty() || value.isEmpty() ? value : masks::apply(value, mask));
    });
}

void memo(QPlainTextEdit* target, RecordSet& set, const QString& field)
{
    target->setReadOnly(true);
    onRefresh(target, set, [target, &set, field] {
        target->setPlainText(set.isOpen() && !set.isEmpty() ? set.value(field).toString() : QString());
    });
}

void displayEdit(QLineEdit* edit, RecordSet& set, const QString& displayField, const QString& clearField)
{
    edit->setReadOnly(true);
    onRefresh(edit, set, [edit, &set, displayField] {
        edit->setText(set.isOpen() && !set.isEmpty() ? set.value(displayField).toString() : QString());
    });
    edit->installEventFilter(new ClearOnDelete(edit, [&set, clearField] {
        if (set.isOpen() && !set.isEmpty())
            set.setValue(clearField, QVariant());
    }));
}

void lookup(QComboBox* combo, RecordSet& set, const QString& field, RecordSet& reference, const QString& keyField,
    const QString& displayField, std::function<void()> afterChoice)
{
    auto fill = [combo, &reference, keyField, displayField] {
        const QSignalBlocker block(combo);
        combo->clear();
        const int key = reference.fieldIndex(keyField);
        const int display = reference.fieldIndex(displayField);
        for (int i = 0; i < reference.count(); ++i)
            combo->addItem(reference.valueAt(i, display).toString(), reference.valueAt(i, key));
    };
    fill();
    QObject::connect(&reference, &RecordSet::dataReset, combo, fill);
    onRefresh(combo, set, [combo, &set, field] {
        const QSignalBlocker block(combo);
        const QVariant value = set.isOpen() && !set.isEmpty() ? set.value(field) : QVariant();
        int found = -1;
        for (int i = 0; i < combo->count() && !value.isNull(); ++i) {
            if (combo->itemData(i).toDouble() == value.toDouble() || combo->itemData(i).toString() == value.toString())
                found = i;
        }
        combo->setCurrentIndex(found);
    });
    QObject::connect(combo, &QComboBox::activated, combo, [combo, &set, field, afterChoice](int index) {
        if (!set.isOpen() || set.isEmpty())
            return;
        set.setValue(field, combo->itemData(index));
        if (afterChoice)
            afterChoice();
    });
    combo->installEventFilter(new ClearOnDelete(combo, [combo, &set, field] {
        if (set.isOpen() && !set.isEmpty())
            set.setValue(field, QVariant());
        combo->setCurrentIndex(-1);
    }));
}

void radio(QButtonGroup* group, RecordSet& set, const QString& field, const QVariantList& values,
    std::function<void()> afterClick)
{
    onRefresh(group, set, [group, &set, field, values] {
        const QVariant value = set.isOpen() && !set.isEmpty() ? set.value(field) : QVariant();
        for (int i = 0; i < values.size(); ++i) {
            if (QAbstractButton* button = group->button(i)) {
                const QSignalBlocker block(button);
                button->setChecked(!value.isNull() && value.toString() == values[i].toString());
            }
        }
    });
    QObject::connect(group, &QButtonGroup::idClicked, group, [&set, field, values, afterClick](int id) {
        if (!set.isOpen() || set.isEmpty() || id < 0 || id >= values.size())
            return;
        set.setValue(field, values[id]);
        if (afterClick)
            afterClick();
    });
}

} // namespace jx::gui::bind

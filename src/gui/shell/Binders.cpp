#include "Binders.h"

#include "data/RecordSet.h"
#include "Error.h"
#include "text/Masks.h"
#include "text/Money.h"
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
#include <QItemSelectionModel>
#include <QRegularExpressionValidator>
#include <QTableView>

namespace jx::gui::bind {

using data::RecordSet;

namespace {

std::function<void(const QString&)>& errorSink()
{
    static std::function<void(const QString&)> sink;
    return sink;
}

// Writes a typed value; false (after reporting why) when the field refuses it.
bool store(RecordSet& set, const QString& field, const QVariant& value)
{
    try {
        set.setValue(field, value);
        return true;
    } catch (const Error& e) {
        if (errorSink())
            errorSink()(e.userText());
        return false;
    }
}

QString maskOf(const QLineEdit* edit)
{
    return edit->property("jxMask").toString();
}

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

void setErrorSink(std::function<void(const QString&)> sink)
{
    errorSink() = std::move(sink);
}

QString transform(const QString& text, const EditOptions& options)
{
    return text::typed(text, options.upper, options.lower, options.replaceAmpersand, options.replaceBrackets);
}

bool sameKey(const QVariant& itemKey, const QVariant& stored)
{
    if (itemKey.isNull() || stored.isNull())
        return false;
    // Text keys (município names, complement codes) must never meet as numbers: every
    // one of them would read as 0.
    if (data::isNumber(itemKey) && data::isNumber(stored))
        return itemKey.toDouble() == stored.toDouble();
    return itemKey.toString() == stored.toString();
}

void documentLetters(QLineEdit* edit, const QString& mask)
{
    // A mask's letter positions take any letter; a document's letters are A to Z only (an
    // alphanumeric CNPJ holds no "É").
    if (mask.contains(u'a'))
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("(?:[A-Za-z]|[^\\p{L}])*")), edit));
    else if (qobject_cast<const QRegularExpressionValidator*>(edit->validator())
        && edit->property("jxLetters").toBool())
        edit->setValidator(nullptr);
    edit->setProperty("jxLetters", mask.contains(u'a'));
}

void setMask(QLineEdit* edit, const QString& mask)
{
    // Typing not yet stored (the kind chosen while the field still holds it) keeps its letters
    // and digits, laid again into the new mask; Qt would fit the old text, punctuation and
    // blanks and all, position by position into the new one, and a refresh would drop it.
    if (edit->isModified()) {
        const QString before = maskOf(edit);
        QString typed = before.isEmpty() ? edit->text() : masks::strip(edit->displayText(), before);
        typed.remove(QRegularExpression(QStringLiteral("[^0-9A-Za-z]")));
        edit->setProperty("jxMask", mask);
        edit->setInputMask(mask.isEmpty() ? QString() : masks::toQtInputMask(mask));
        edit->setText(mask.isEmpty() ? typed : masks::apply(typed, mask));
        edit->setModified(true);
        documentLetters(edit, mask);
        return;
    }
    edit->setProperty("jxMask", mask);
    edit->setInputMask(mask.isEmpty() ? QString() : masks::toQtInputMask(mask));
    documentLetters(edit, mask);
    if (auto refresh = edit->property("jxRefresh").value<QObject*>())
        QMetaObject::invokeMethod(refresh, "trigger");
}

namespace {

// Lets setMask show the stored value again through the new mask.
class RefreshTrigger : public QObject {
    Q_OBJECT

public:
    RefreshTrigger(QObject* owner, std::function<void()> refresh)
        : QObject(owner)
        , m_refresh(std::move(refresh))
    {
    }
    Q_INVOKABLE void trigger() { m_refresh(); }

private:
    std::function<void()> m_refresh;
};

} // namespace

void lineEdit(QLineEdit* edit, RecordSet& set, const QString& field, const EditOptions& options)
{
    edit->setProperty("jxMask", options.mask);
    if (!options.mask.isEmpty())
        edit->setInputMask(masks::toQtInputMask(options.mask));
    if (options.money) {
        // The limit is on what is typed: a stored amount shown with its decimals may be
        // longer, and a length limit would cut it on screen.
        const QString pattern = QStringLiteral("[0-9.,]{0,%1}").arg(options.maxLength > 0 ? options.maxLength : 18);
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
    } else if (options.maxLength > 0) {
        edit->setMaxLength(options.maxLength);
    }
    if (options.digitsOnly)
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    if (!options.money && !options.digitsOnly)
        documentLetters(edit, options.mask);
    auto show = [edit, &set, field, options] {
        const QVariant stored = set.isOpen() && !set.isEmpty() ? set.value(field) : QVariant();
        const QString mask = maskOf(edit);
        QString text = stored.toString();
        if (options.money)
            text = stored.isNull() ? QString() : money::format(stored.toLongLong(), 2, false);
        else if (options.decimals >= 0 && !stored.isNull())
            text = QString::number(stored.toDouble(), 'f', options.decimals).replace(u'.', u',');
        edit->setText(mask.isEmpty() ? text : masks::apply(text, mask));
        edit->setModified(false);
    };
    auto refresh = [edit, show] {
        if (edit->hasFocus() && edit->isModified())
            return;
        show();
    };
    edit->setProperty("jxRefresh", QVariant::fromValue<QObject*>(new RefreshTrigger(edit, show)));
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
    QObject::connect(edit, &QLineEdit::editingFinished, edit, [edit, &set, field, show, custom = options.store] {
        if (!set.isOpen() || set.isEmpty() || !edit->isModified())
            return;
        // displayText keeps every position of the mask, so literals can be told from typing.
        const QString mask = maskOf(edit);
        const QString value = mask.isEmpty() ? edit->text() : masks::strip(edit->displayText(), mask);
        if (custom) {
            const QString refusal = custom(value);
            if (!refusal.isEmpty())
                edit->setProperty("jxRefusals", edit->property("jxRefusals").toInt() + 1);
            if (refusal.isEmpty()) {
                edit->setModified(false);
                return;
            }
            if (errorSink())
                errorSink()(refusal);
            show(); // the previous value stays, and the field takes the focus again
            QMetaObject::invokeMethod(edit, [edit] { edit->setFocus(); }, Qt::QueuedConnection);
            return;
        }
        if (store(set, field, value.isEmpty() ? QVariant() : QVariant(value)))
            edit->setModified(false);
        else
            show();
    });
}

void dateEdit(QLineEdit* edit, RecordSet& set, const QString& field)
{
    edit->setInputMask(QStringLiteral("00/00/0000; "));
    auto show = [edit, &set, field] {
        const QString iso = set.isOpen() && !set.isEmpty() ? set.value(field).toString() : QString();
        const QDate date = QDate::fromString(iso.left(10), Qt::ISODate);
        edit->setText(date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString());
        edit->setModified(false);
    };
    // An invalid date typed is not stored; it stays on screen, for the save's check to
    // report, until the row itself changes.
    auto keepTyped = [edit, show] {
        if (!edit->isModified())
            show();
    };
    QObject::connect(&set, &RecordSet::currentChanged, edit, show);
    QObject::connect(&set, &RecordSet::dataReset, edit, show);
    QObject::connect(&set, &RecordSet::valuesChanged, edit, keepTyped);
    QObject::connect(&set, &RecordSet::rowChanged, edit, [keepTyped](int) { keepTyped(); });
    QObject::connect(&set, &RecordSet::stateChanged, edit, keepTyped);
    show();
    // Written as soon as it is typed, so that rules and other fields see it and a refresh
    // caused by another field does not wipe it out.
    QObject::connect(edit, &QLineEdit::editingFinished, edit, [edit, &set, field] {
        if (!set.isOpen() || set.isEmpty() || !edit->isModified())
            return;
        QString compact = edit->text();
        compact.remove(u'/');
        if (compact.trimmed().isEmpty()) {
            if (store(set, field, QVariant()))
                edit->setModified(false);
            return;
        }
        const QDate date = QDate::fromString(edit->text(), QStringLiteral("dd/MM/yyyy"));
        if (date.isValid() && store(set, field, date))
            edit->setModified(false);
    });
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
            store(set, clearField, QVariant());
    }));
}

void lookup(QComboBox* combo, RecordSet& set, const QString& field, RecordSet& reference, const QString& keyField,
    const QString& displayField, std::function<void()> afterChoice, std::function<bool(const QVariant&)> keep)
{
    auto fill = [combo, &reference, keyField, displayField, keep] {
        const QSignalBlocker block(combo);
        combo->clear();
        const int key = reference.fieldIndex(keyField);
        const int display = reference.fieldIndex(displayField);
        for (int i = 0; i < reference.count(); ++i) {
            if (!keep || keep(reference.valueAt(i, key)))
                combo->addItem(reference.valueAt(i, display).toString(), reference.valueAt(i, key));
        }
    };
    fill();
    QObject::connect(&reference, &RecordSet::dataReset, combo, fill);
    onRefresh(combo, set, [combo, &set, field] {
        const QSignalBlocker block(combo);
        const QVariant value = set.isOpen() && !set.isEmpty() ? set.value(field) : QVariant();
        int found = -1;
        for (int i = 0; i < combo->count() && found < 0; ++i) {
            if (sameKey(combo->itemData(i), value))
                found = i;
        }
        combo->setCurrentIndex(found);
    });
    QObject::connect(combo, &QComboBox::activated, combo, [combo, &set, field, afterChoice](int index) {
        if (!set.isOpen() || set.isEmpty())
            return;
        if (store(set, field, combo->itemData(index)) && afterChoice)
            afterChoice();
    });
    combo->installEventFilter(new ClearOnDelete(combo, [combo, &set, field, afterChoice] {
        if (set.isOpen() && !set.isEmpty() && store(set, field, QVariant()) && afterChoice)
            afterChoice();
        combo->setCurrentIndex(-1);
    }));
}

void gridCursor(QTableView* grid, RecordSet& set)
{
    QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, grid,
        [&set](const QModelIndex& current) {
            if (current.isValid())
                set.moveTo(current.row());
        });
    auto follow = [grid, &set] {
        const int row = set.recNo();
        if (row >= 0 && row < grid->model()->rowCount())
            grid->selectionModel()->setCurrentIndex(
                grid->model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    };
    QObject::connect(&set, &RecordSet::currentChanged, grid, follow);
    // The model, made before, has reset itself on the same signal by then.
    QObject::connect(&set, &RecordSet::dataReset, grid, follow);
    follow();
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
        if (store(set, field, values[id]) && afterClick)
            afterClick();
    });
}

} // namespace jx::gui::bind

#include "Binders.moc"

#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>
#include <optional>

class QButtonGroup;
class QGroupBox;
class QPushButton;

namespace jx {
class UserPrompts;
}

namespace jx::gui {

// The removable-disk dialog: the removable drives in a radio group, the first chosen.
// Confirming checks that the chosen drive holds a medium whose free space can be read.
// A plain dialog, not a TFrmPadrao: here Enter confirms, as the default button says.
class TscrUntCheckDisquete : public QDialog {
    Q_OBJECT

public:
    TscrUntCheckDisquete(UserPrompts& prompts, QWidget* parent = nullptr, const QString& caption = kCaption);

    // Lists these drive roots (column by column, in two columns), the first chosen.
    void setDrives(const QStringList& roots);
    QString chosenDrive() const;
    QGroupBox* driveGroup() const { return m_group; }
    QPushButton* confirmButton() const { return m_confirm; }
    QPushButton* cancelButton() const { return m_cancel; }

    // "C&onfirmar": closes as confirmed once the chosen drive can take the files.
    void confirm();

    // The free bytes of a drive, negative when they cannot be read.
    std::function<qint64(const QString& root)> freeSpace;

    // EscolherDrive: shows the dialog over the removable drives (and the folders given, listed
    // after them); the chosen drive's root, or nothing when the user cancelled.
    static std::optional<QString> EscolherDrive(UserPrompts& prompts, QWidget* parent = nullptr,
        const QString& caption = kCaption, const QStringList& folders = {});

    static inline const QString kCaption = QStringLiteral("Disquete");
    static inline const QString kGroupCaption = QStringLiteral("Insira o disquete na unidade: ");
    static inline const QString kNoMedium = QStringLiteral("Insira o disco na unidade ");
    static inline const QString kNoFreeSpace = QStringLiteral("Insira o disquete no drive ");

private:
    UserPrompts& m_prompts;
    QGroupBox* m_group;
    QButtonGroup* m_buttons;
    QPushButton* m_cancel;
    QPushButton* m_confirm;
};

} // namespace jx::gui

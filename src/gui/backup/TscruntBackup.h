#pragma once

#include "TFrmPadrao.h"

#include <QList>

#include <functional>

class QBoxLayout;
class QButtonGroup;
class QLabel;
class QPlainTextEdit;
class QStackedWidget;
class QStatusBar;
class QTableView;

namespace jx {
class TdtmJX;
class TdtmDB;
class UserPrompts;
namespace data {
class RecordSet;
}
} // namespace jx

namespace jx::gui {

class Commands;

// The backup-and-restore window: per-filing backups or a copy of the database in backup mode,
// a filing or the database brought back in restore mode. The pages follow one another by the
// commands; the folder is the program folder's "backup" until the user changes it.
class TscruntBackup : public TFrmPadrao {
    Q_OBJECT

public:
    enum class Mode { Backup, Restore };

    TscruntBackup(Commands& commands, TdtmJX& jx, UserPrompts& prompts, const QString& programFolder, Mode mode,
        QWidget* parent = nullptr);
    ~TscruntBackup() override;

    // Ends the program after the database was restored; the application's exit unless replaced.
    std::function<void()> endProgram;

    Mode mode() const { return m_mode; }
    const QString& folder() const { return m_folder; }
    // The chosen type: 0 requests, 1 enablements, 2 the database; -1 none yet.
    int chosenCode() const;
    void chooseCode(int code);

    // The commands of the window.
    void changeFolder();
    void continueFromType();
    void continueFromList();
    void back();
    void start();
    // Whether the list page's "Continuar" may run: its record set has rows.
    bool listHasRows() const;

    QStackedWidget* pages() const { return m_pages; }
    QWidget* page(const char* name) const;
    QWidget* currentPage() const;
    QTableView* requestGrid() const { return m_requests; }
    QTableView* enablementGrid() const { return m_enablements; }
    QPlainTextEdit* memo() const { return m_memo; }
    QLabel* messageLabel() const { return m_message; }
    QLabel* pathLabel() const { return m_path; }
    const QString& copyName() const { return m_copyName; }

    void done(int result) override;

    static inline const QString kChooseType = QStringLiteral("Selecione o Tipo!");
    static inline const QString kBackupsGoTo = QStringLiteral("A(s) cópia(s) de segurança será(ão) salva(s) em:");
    static inline const QString kCopyGoesTo = QStringLiteral("A cópia de segurança do banco de dados será salva em:");
    static inline const QString kWillRestore = QStringLiteral("O seguinte arquivo será restaurado:");
    static inline const QString kWait = QStringLiteral("Aguarde...");

protected:
    bool event(QEvent* event) override;

private:
    QWidget* makeTypePage();
    QWidget* makeFilingPage(const char* name, const QString& heading, QTableView* grid, const QString& note);
    QWidget* makeConfirmationPage();
    QWidget* makeRestorePage(const char* name, const QString& heading, QTableView* grid);
    void addButtons(QWidget* page, QBoxLayout* layout, const QStringList& commands);
    void setFilters(bool on);
    void showPage(const char* name);
    data::RecordSet* listSet() const;

    Commands& m_commands;
    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    QString m_programFolder;
    Mode m_mode;
    QString m_folder;
    QString m_copyName;
    bool m_filtered = false;

    QStackedWidget* m_pages = nullptr;
    QLabel* m_folderLabel = nullptr;
    QButtonGroup* m_types = nullptr;
    QTableView* m_requests = nullptr;
    QTableView* m_enablements = nullptr;
    QTableView* m_restoreRequests = nullptr;
    QTableView* m_restoreEnablements = nullptr;
    QTableView* m_restoreDatabase = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QLabel* m_message = nullptr;
    QLabel* m_path = nullptr;
    QStatusBar* m_status = nullptr;
};

} // namespace jx::gui

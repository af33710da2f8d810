#pragma once

#include <QObject>

#include <memory>

namespace jx {
class TdtmJX;
class RequestLifecycle;
class UserPrompts;
} // namespace jx

namespace jx::gui {

class Commands;

// Runs the request commands: the browser, the new-request dialog, the request form, the
// address form and deletion. Windows are made when a command opens them and destroyed when
// they close.
class RequestWindows : public QObject {
    Q_OBJECT

public:
    RequestWindows(Commands& commands, TdtmJX& jx, UserPrompts& prompts, QObject* parent = nullptr);
    ~RequestWindows() override;

    RequestLifecycle& lifecycle() { return *m_lifecycle; }

    void openBrowser();
    void newRequest();
    void editRequest();
    void deleteRequest();
    void editAddress(bool establishment);

private:
    void openForm();

    Commands& m_commands;
    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    std::unique_ptr<RequestLifecycle> m_lifecycle;
    bool m_browserOpen = false;
};

} // namespace jx::gui

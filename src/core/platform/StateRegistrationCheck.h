#pragma once

#include <QString>

namespace jx {

// Asks the external state-registration library for its verdict. The library is loaded
// afresh on every call and unloaded before returning, as the installed program expects
// of it (a replaced library takes effect without a restart).
class StateRegistrationCheck {
public:
    static constexpr char kLibraryName[] = "DllInscE32";
    static constexpr char kEntryPoint[] = "ConsisteInscricaoEstadual";
    static constexpr char kHomeState[] = "QZ";

    // Uses the library found beside the running executable, else the system's search.
    StateRegistrationCheck();
    explicit StateRegistrationCheck(const QString& libraryPath);

    // Throws jx::Error "Dll não carregada" / "Ponto de entrada não encontrado na Dll".
    bool isValid(const QString& registration, const QString& state = QString::fromLatin1(kHomeState)) const;

    const QString& libraryPath() const { return m_libraryPath; }
    static QString defaultLibraryPath();

private:
    QString m_libraryPath;
};

} // namespace jx

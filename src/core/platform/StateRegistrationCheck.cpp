#include "platform/StateRegistrationCheck.h"

#include "Error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace jx {

namespace {

using CheckFunction = int (*)(const char*, const char*);

// Unloads on every way out of the call, the failing ones included.
class LoadedLibrary {
public:
    explicit LoadedLibrary(const QString& path)
        : m_library(path)
    {
        m_library.load();
    }
    ~LoadedLibrary()
    {
        if (m_library.isLoaded())
            m_library.unload();
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    QLibrary& get() { return m_library; }

private:
    QLibrary m_library;
};

} // namespace

StateRegistrationCheck::StateRegistrationCheck()
    : m_libraryPath(defaultLibraryPath())
{
}

StateRegistrationCheck::StateRegistrationCheck(const QString& libraryPath)
    : m_libraryPath(libraryPath)
{
}

QString StateRegistrationCheck::defaultLibraryPath()
{
    const QString name = QString::fromLatin1(kLibraryName);
    if (QCoreApplication::instance()) {
        const QDir dir(QCoreApplication::applicationDirPath());
        for (const QString& candidate : { QStringLiteral("lib%1.so").arg(name), name + QStringLiteral(".dll"),
                 QStringLiteral("lib%1.dylib").arg(name) }) {
            if (QFileInfo::exists(dir.filePath(candidate)))
                return dir.filePath(candidate);
        }
    }
    return name;
}

bool StateRegistrationCheck::isValid(const QString& registration, const QString& state) const
{
    LoadedLibrary library(m_libraryPath);
    if (!library.get().isLoaded())
        throw Error(QStringLiteral("Dll não carregada"), library.get().errorString());
    const auto check = reinterpret_cast<CheckFunction>(library.get().resolve(kEntryPoint));
    if (!check)
        throw Error(QStringLiteral("Ponto de entrada não encontrado na Dll"), library.get().errorString());
    const QByteArray ie = registration.toLatin1();
    const QByteArray uf = state.toLatin1();
    return check(ie.constData(), uf.constData()) == 0;
}

} // namespace jx

#pragma once

#include "platform/WorkingFolder.h"

#include <QString>
#include <QStringList>

// Transmitted files that carry the authority's protocol but have no stored delivery record (the
// record was refused, the run was killed): the accountant's only proof of those deliveries. They
// are moved into a folder of the program folder that nothing ever empties, from which the
// protocol capture records them later.
namespace jx::unregistered {

QString folder(const QString& programFolder);
// Whether the header carries a protocol number; false for a file that cannot be read as ours.
bool carriesProtocol(const QString& file);
// Moves the file into the folder under its own name, or a numbered variant of it when that is
// taken (the same filing transmitted twice); returns the new path. Throws jx::Error.
QString keep(const QString& programFolder, const QString& file);
// A working folder's rescue: keeps each file that carries a protocol, adding its new path to
// kept (when given). A file that cannot be moved stays where it is, and so does its folder.
WorkingFolder::Rescue rescuer(const QString& programFolder, QStringList* kept = nullptr);
// The name a kept file had before it was numbered.
QString originalName(const QString& name);

inline const QString kFolderName = QStringLiteral("Entregas não registradas");
inline const QString kKeptText = QStringLiteral(
    "Os arquivos abaixo já receberam o protocolo da ZKF, mas a entrega não foi registrada no banco de "
    "dados.\r\nEles foram guardados na pasta %1; registre-os em Captura de Protocolos, indicando essa "
    "pasta:\r\n");
// What the user is told of kept files: the folder, then their names.
QString keptText(const QString& programFolder, const QStringList& kept);

} // namespace jx::unregistered

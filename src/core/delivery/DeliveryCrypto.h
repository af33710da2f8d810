#pragma once

#include <QByteArray>
#include <QString>

namespace jx {

class UserPrompts;

// The encryption operations of the data module: both key files are loaded anew from the
// keys folder on every call, and any failure is shown to the user, never passed on.
class DeliveryCrypto {
public:
    DeliveryCrypto(const QString& keysFolder, UserPrompts& prompts);

    // Encrypts the data section of the file; on failure the file stays plain. True when
    // it was encrypted.
    bool CriptografarArquivo(const QString& file);
    // The diskette form of a file's bytes, in memory: data section encrypted, then the verifier
    // stamped (CriptografarArquivo and GravarVerificador in one). False after a failure that was
    // shown; bytes are then as they were. file names the file in messages.
    bool seal(QByteArray& bytes, const QString& file);
    // The plaintext of a Base64 cipher text; empty after a failure.
    QByteArray DescriptografarTexto(const QByteArray& cipherText);

    const QString& keysFolder() const { return m_keysFolder; }

private:
    QString m_keysFolder;
    UserPrompts& m_prompts;
};

} // namespace jx

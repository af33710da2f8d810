#include "delivery/DeliveryCrypto.h"

#include "Error.h"
#include "delivery/ManipulaXml.h"
#include "delivery/RsaBlockCipher.h"
#include "delivery/RsaKey.h"
#include "platform/UserPrompts.h"

#include <QDir>

namespace jx {

namespace {

struct Keys {
    RsaKey privateKey;
    RsaKey publicKey;
};

// The private key first, then the public one, as the installed program always has.
Keys loadKeys(const QString& folder)
{
    Keys keys;
    keys.privateKey = RsaKey::load(QDir(folder).filePath(QString::fromLatin1(kPrivateKeyFile)));
    keys.publicKey = RsaKey::load(QDir(folder).filePath(QString::fromLatin1(kPublicKeyFile)));
    return keys;
}

} // namespace

DeliveryCrypto::DeliveryCrypto(const QString& keysFolder, UserPrompts& prompts)
    : m_keysFolder(keysFolder)
    , m_prompts(prompts)
{
}

bool DeliveryCrypto::CriptografarArquivo(const QString& file)
{
    try {
        const Keys keys = loadKeys(m_keysFolder);
        xmlfile::CriptografarDados(file, keys.publicKey);
        return true;
    } catch (const Error& e) {
        m_prompts.error(e.userText());
        return false;
    }
}

bool DeliveryCrypto::seal(QByteArray& bytes, const QString& file)
{
    try {
        const Keys keys = loadKeys(m_keysFolder);
        bytes = xmlfile::sealedBytes(bytes, keys.publicKey, file);
        return true;
    } catch (const Error& e) {
        m_prompts.error(e.userText());
        return false;
    }
}

QByteArray DeliveryCrypto::DescriptografarTexto(const QByteArray& cipherText)
{
    try {
        const Keys keys = loadKeys(m_keysFolder);
        return rsa::decrypt(cipherText, keys.privateKey);
    } catch (const Error& e) {
        m_prompts.error(e.userText());
        return {};
    }
}

} // namespace jx

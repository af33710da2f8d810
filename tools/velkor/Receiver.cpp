#include "Receiver.h"

#include "ProtocolCounter.h"
#include "Texts.h"

#include "Error.h"
#include "delivery/ManipulaXml.h"
#include "delivery/RsaBlockCipher.h"
#include "delivery/Sha1.h"
#include "delivery/XmlLibraryPass.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pugixml.hpp>

namespace velkor {

namespace {

constexpr char kVerifierTag[] = "verificador_integridade";

// A refusal with its reason, thrown inside receive() only.
struct Refusal {
    QString reason;
};

[[noreturn]] void refuse(const QString& reason, const QString& detail = {})
{
    throw Refusal { detail.isEmpty() ? reason : reason + QStringLiteral(": ") + detail };
}

bool isFilingRoot(const pugi::xml_node& node)
{
    const std::string_view name = node.name();
    return name == "solicitacao" || name == "habilitacao";
}

pugi::xml_node firstElement(const pugi::xml_node& parent)
{
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element)
            return child;
    }
    return {};
}

QByteArray boundedRead(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuse(texts::kUnreadable, file.errorString());
    // One byte past the bound tells a file that grew after it was measured.
    const QByteArray bytes = file.read(Receiver::kMaxFileSize + 1);
    if (bytes.size() > Receiver::kMaxFileSize)
        refuse(texts::kTooLarge);
    if (file.error() != QFileDevice::NoError)
        refuse(texts::kUnreadable, file.errorString());
    return bytes;
}

void checkPlainSection(const pugi::xml_node& data)
{
    if (!isFilingRoot(firstElement(data)))
        refuse(texts::kNotFiling);
}

// The diskette route keeps the section encrypted in the file; it is opened here only to see
// what it holds.
void checkEncryptedSection(const pugi::xml_node& data, const jx::RsaKey& privateKey)
{
    if (firstElement(data))
        refuse(texts::kNotEncrypted);
    const QByteArray cipherText = QByteArray(data.text().get()).trimmed();
    if (cipherText.isEmpty())
        refuse(texts::kNotFiling);
    QByteArray plain;
    try {
        plain = jx::rsa::decrypt(cipherText, privateKey);
    } catch (const jx::Error& e) {
        refuse(texts::kUndecryptable, e.userText());
    }
    // The plaintext is the section's children: several top-level elements, hence a fragment.
    pugi::xml_document section;
    const pugi::xml_parse_result parsed = section.load_buffer(
        plain.constData(), size_t(plain.size()), pugi::parse_default | pugi::parse_fragment, pugi::encoding_latin1);
    if (!parsed || !isFilingRoot(firstElement(section)))
        refuse(texts::kNotFiling);
}

void setChildText(pugi::xml_node parent, const char* name, const QString& value)
{
    pugi::xml_node child = parent.child(name);
    if (!child)
        child = parent.append_child(name);
    child.text().set(value.toUtf8().constData());
}

// As the program stamps: the digest of what the library writes for the tree without a
// verifier, appended as the last child of the header.
void stamp(pugi::xml_document& document)
{
    pugi::xml_node header = document.document_element().child("cabecalho");
    while (pugi::xml_node old = header.child(kVerifierTag))
        header.remove_child(old);
    const QString digest = jx::sha1::hexUpper(jx::xmlpass::bytesOf(document));
    header.append_child(kVerifierTag).text().set(digest.toLatin1().constData());
}

} // namespace

Receiver::Receiver(const QString& homeFolder, ProtocolCounter& counter, std::optional<jx::RsaKey> privateKey)
    : m_home(homeFolder)
    , m_counter(counter)
    , m_privateKey(std::move(privateKey))
{
}

QString Receiver::receivedFolder() const
{
    return QDir(m_home).filePath(QStringLiteral("recebidos"));
}

QStringList Receiver::programFiles(const QString& folder)
{
    QStringList result;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        if (name.startsWith(QLatin1String("JX"), Qt::CaseInsensitive)
            && name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
            result << dir.filePath(name);
    }
    return result;
}

QString Receiver::receive(const QString& file, Twist twist)
{
    try {
        if (twist == Twist::Remove) {
            if (!QFile::remove(file))
                refuse(QStringLiteral("não foi possível remover o arquivo"));
            return texts::removed(file);
        }
        if (twist == Twist::Refuse)
            refuse(texts::kSimulatedRefusal);

        const QFileInfo info(file);
        if (!info.exists())
            refuse(texts::kMissing);
        if (!info.isFile())
            refuse(texts::kNotRegular);
        if (info.size() > kMaxFileSize)
            refuse(texts::kTooLarge);
        try {
            if (!jx::xmlfile::ConferirHash(file))
                refuse(texts::kVerifierMismatch);
        } catch (const jx::Error&) {
            refuse(texts::kInvalidXml);
        }

        pugi::xml_document document;
        try {
            jx::xmlpass::loadBytes(document, boundedRead(file));
        } catch (const jx::Error&) {
            refuse(texts::kInvalidXml);
        }
        pugi::xml_node root = document.document_element();
        pugi::xml_node protocol = root.child("cabecalho").child("protocolo");
        pugi::xml_node data = root.child("dados");
        if (std::string_view(root.name()) != "arquivo" || !protocol || !data)
            refuse(texts::kNotEnvelope);
        if (!QString::fromUtf8(protocol.child("numero").text().get()).trimmed().isEmpty())
            refuse(texts::kAlreadyProtocolled);
        if (m_privateKey)
            checkEncryptedSection(data, *m_privateKey);
        else
            checkPlainSection(data);

        QString number;
        try {
            number = numberPrefix + m_counter.next(now().date());
        } catch (const jx::Error& e) {
            refuse(texts::kCounterFailed, e.userText());
        }
        const QDateTime at = now();
        const bool blank = twist == Twist::BlankDateTime;
        const QString date = blank ? QString() : at.toString(QStringLiteral("dd/MM/yyyy"));
        const QString time = blank ? QString() : at.toString(QStringLiteral("hh:mm:ss"));
        setChildText(protocol, "data", date);
        setChildText(protocol, "hora", time);
        setChildText(protocol, "numero", number);
        stamp(document);

        // The copy first: a file that got its protocol always has its copy here.
        const QString copy = QDir(receivedFolder()).filePath(number + u'_' + info.fileName());
        try {
            if (!QDir().mkpath(receivedFolder()))
                throw jx::Error(QStringLiteral("pasta %1").arg(receivedFolder()));
            jx::xmlpass::save(document, copy);
            if (twist == Twist::BreakVerifier)
                setChildText(root.child("cabecalho"), "complemento", QStringLiteral("alterado depois do verificador"));
            jx::xmlpass::save(document, file);
        } catch (const jx::Error& e) {
            QFile::remove(copy);
            refuse(texts::kWriteFailed, e.userText());
        }
        QString line = texts::accepted(file, number, date, time);
        if (twist == Twist::BreakVerifier)
            line += texts::kBrokenNote;
        return line;
    } catch (const Refusal& refusal) {
        return texts::refused(file, refusal.reason);
    }
}

} // namespace velkor

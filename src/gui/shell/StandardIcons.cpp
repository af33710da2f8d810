#include "StandardIcons.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>

namespace jx::gui {

namespace {

QHash<int, QIcon>*& cacheSlot()
{
    static QHash<int, QIcon>* cache = nullptr;
    return cache;
}

// Held until the application goes, not to the end of the process: pixmaps must not outlive it.
QIcon loaded(QStyle::StandardPixmap picture)
{
    QHash<int, QIcon>*& cache = cacheSlot();
    if (!cache) {
        cache = new QHash<int, QIcon>;
        qAddPostRoutine([] {
            delete cacheSlot();
            cacheSlot() = nullptr;
        });
    }
    auto it = cache->find(int(picture));
    if (it == cache->end())
        it = cache->insert(int(picture), QApplication::style()->standardIcon(picture));
    return *it;
}

class StandardIconEngine : public QIconEngine {
public:
    explicit StandardIconEngine(QStyle::StandardPixmap picture)
        : m_picture(picture)
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, 1.0, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    // Someone adding to the icon gets a copy of the style's own to add to.
    void addPixmap(const QPixmap& pixmap, QIcon::Mode mode, QIcon::State state) override
    {
        own().addPixmap(pixmap, mode, state);
    }
    void addFile(const QString& fileName, const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        own().addFile(fileName, size, mode, state);
    }
    bool isNull() override { return icon().isNull(); }
    QString iconName() override { return icon().name(); }
    QString key() const override { return QStringLiteral("jx.StandardIconEngine"); }
    QIconEngine* clone() const override
    {
        auto* copy = new StandardIconEngine(m_picture);
        copy->m_own = m_own;
        copy->m_hasOwn = m_hasOwn;
        return copy;
    }

private:
    QIcon icon() const { return m_hasOwn ? m_own : loaded(m_picture); }
    QIcon& own()
    {
        if (!m_hasOwn) {
            m_own = loaded(m_picture);
            m_hasOwn = true;
        }
        return m_own;
    }

    QStyle::StandardPixmap m_picture;
    QIcon m_own;
    bool m_hasOwn = false;
};

} // namespace

QIcon standardIcon(QStyle::StandardPixmap picture)
{
    return QIcon(new StandardIconEngine(picture));
}

} // namespace jx::gui

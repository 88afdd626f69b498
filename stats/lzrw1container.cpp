#include "stats/lzrw1container.h"

#include <algorithm>
#include <new>

namespace lzrw1 {

void fail(const QString &message)
{
    throw ELzrw1Exception(message);
}

namespace {

class MemorySource
{
public:
    MemorySource(QByteArrayView data, const QString &name)
        : m_data(reinterpret_cast<const std::uint8_t *>(data.data())), m_size(data.size()),
          m_name(name)
    {}

    const std::uint8_t *take(int n)
    {
        if (m_size - m_pos < n)
            fail(QLatin1String(text::kReadError) + m_name);
        const std::uint8_t *at = m_data + m_pos;
        m_pos += n;
        return at;
    }

private:
    const std::uint8_t *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    QString m_name;
};

// Grows by doubling; the bytes past `used` are scratch space for the coder.
class MemorySink
{
public:
    explicit MemorySink(qsizetype initialCapacity) { m_bytes.resize(initialCapacity); }

    std::uint8_t *room(int n)
    {
        if (m_bytes.size() - m_used < n)
            m_bytes.resize(std::max(m_bytes.size() * 2, m_used + n));
        return reinterpret_cast<std::uint8_t *>(m_bytes.data()) + m_used;
    }

    void commit(int n) { m_used += n; }

    QByteArray take()
    {
        m_bytes.truncate(m_used);
        return std::move(m_bytes);
    }

private:
    QByteArray m_bytes;
    qsizetype m_used = 0;
};

} // namespace

QByteArray compress(QByteArrayView data)
{
    if (std::uint64_t(data.size()) > kMaxLength)
        fail(QLatin1String(text::kNoSize));
    try {
        const int pieces = int(data.size() / kPieceSize) + 1;
        MemorySink out(kHeadSize + data.size() + qsizetype(pieces) * (2 + blockCapacity(0)));
        MemorySource in(data, QString());
        BlockEncoder encoder;
        encodeContainer(in, std::uint32_t(data.size()), out, encoder);
        return out.take();
    } catch (const std::bad_alloc &) {
        fail(QLatin1String(text::kNoBufferMemory));
    }
}

QByteArray decompress(QByteArrayView container, const QString &name)
{
    // The stated length sizes the output, but a damaged head must not make
    // a small file claim gigabytes: no block yields more than about a
    // thousand times its own size.
    qsizetype expected = 0;
    if (container.size() >= kHeadSize) {
        const auto *head = reinterpret_cast<const std::uint8_t *>(container.data());
        expected = std::min<qsizetype>(readLE32(head + 4), container.size() * 1024);
    }
    try {
        MemorySink out(expected + kPieceSize + kDecodeSlack);
        MemorySource in(container, name);
        decodeContainer(in, out, name);
        return out.take();
    } catch (const std::bad_alloc &) {
        fail(QLatin1String(text::kNoBufferMemory));
    }
}

} // namespace lzrw1

#include "stats/lzrw1.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <new>
#include <vector>

using namespace lzrw1;

namespace {

// The largest piece a read hands over: a stored full block while decoding.
constexpr int kInputBufferSize = kMaxBlockSize;
// The largest space asked for: a chunk while coding, a decoded piece with
// its copy slack while decoding.
constexpr int kOutputBufferSize =
    std::max(2 + blockCapacity(kPieceSize), kPieceSize + kDecodeSlack);

std::vector<std::uint8_t> allocateBuffer(int size)
{
    try {
        return std::vector<std::uint8_t>(std::size_t(size));
    } catch (const std::bad_alloc &) {
        fail(QLatin1String(text::kNoBufferMemory));
    }
}

class FileSource
{
public:
    FileSource(QFile &file, std::vector<std::uint8_t> &buffer, QString readError)
        : m_file(file), m_buffer(buffer), m_readError(std::move(readError))
    {}

    const std::uint8_t *take(int n)
    {
        if (n > 0 && m_file.read(reinterpret_cast<char *>(m_buffer.data()), n) != n)
            fail(m_readError);
        return m_buffer.data();
    }

private:
    QFile &m_file;
    std::vector<std::uint8_t> &m_buffer;
    QString m_readError;
};

class FileSink
{
public:
    FileSink(QSaveFile &file, std::vector<std::uint8_t> &buffer) : m_file(file), m_buffer(buffer) {}

    std::uint8_t *room(int) { return m_buffer.data(); }

    void commit(int n)
    {
        if (m_file.write(reinterpret_cast<const char *>(m_buffer.data()), n) != n)
            failWrite(m_file);
    }

    static void failWrite(const QSaveFile &file)
    {
        fail(QLatin1String(text::kWriteError) + file.fileName());
    }

private:
    QSaveFile &m_file;
    std::vector<std::uint8_t> &m_buffer;
};

void openOutput(QSaveFile &file)
{
    if (!file.open(QIODevice::WriteOnly))
        fail(QLatin1String(text::kCannotOpenOutput) + file.fileName());
}

void openInput(QFile &file)
{
    if (!file.open(QIODevice::ReadOnly))
        fail(QLatin1String(text::kCannotOpenInput) + file.fileName());
}

// Renames the finished file over the target. Until then an error (the
// exception leaving the caller) drops the half-written file with the
// QSaveFile, and whatever was at the target stays untouched.
void finish(QSaveFile &file)
{
    if (!file.commit())
        FileSink::failWrite(file);
}

} // namespace

Tlzrw1::Tlzrw1(QObject *owner) : QObject(owner)
{
    try {
        m_encoder = std::make_unique<BlockEncoder>();
    } catch (const std::bad_alloc &) {
        fail(QLatin1String(text::kNoTableMemory));
    }
}

Tlzrw1::~Tlzrw1() = default;

qint64 Tlzrw1::Compress()
{
    std::vector<std::uint8_t> inBuffer = allocateBuffer(kInputBufferSize);
    std::vector<std::uint8_t> outBuffer = allocateBuffer(kOutputBufferSize);

    const QFileInfo info(m_inputFile);
    // The length goes into a 32-bit field; a larger file cannot be held.
    if (!info.isFile() || std::uint64_t(info.size()) > kMaxLength)
        fail(QLatin1String(text::kNoSize) + m_inputFile);
    QFile input(m_inputFile);
    openInput(input);
    QSaveFile output(m_outputFile);
    openOutput(output);

    // Exactly the length in the head is read, so a file that grows while
    // being read still gives a consistent container.
    FileSource source(input, inBuffer,
                      QLatin1String(text::kReadError) + m_inputFile +
                          QLatin1String(text::kReadErrorSuffix));
    FileSink sink(output, outBuffer);
    const std::uint64_t written =
        encodeContainer(source, std::uint32_t(info.size()), sink, *m_encoder);
    finish(output);
    return qint64(written);
}

qint64 Tlzrw1::Decompress()
{
    std::vector<std::uint8_t> inBuffer = allocateBuffer(kInputBufferSize);
    std::vector<std::uint8_t> outBuffer = allocateBuffer(kOutputBufferSize);

    QFile input(m_inputFile);
    openInput(input);
    QSaveFile output(m_outputFile);
    openOutput(output);

    FileSource source(input, inBuffer, QLatin1String(text::kReadError) + m_inputFile);
    FileSink sink(output, outBuffer);
    const std::uint64_t written = decodeContainer(source, sink, m_inputFile);
    finish(output);
    return qint64(written);
}

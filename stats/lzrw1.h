#pragma once

#include "stats/lzrw1container.h"

#include <QObject>
#include <QString>

#include <memory>

// Turns one whole file into a compressed file and back (the tally window
// keeps one under the name "doit"). Memory stays fixed whatever the file's
// size: the file is coded piece by piece through two small buffers.
//
// The output appears only when the whole operation succeeded: it is written
// beside the target and renamed over it at the end, so a failure leaves no
// partial file behind and never destroys a file that was already there.
class Tlzrw1 : public QObject
{
    Q_OBJECT
public:
    // Only Fast is built. Good and Auto write the same Fast form, so a
    // caller that keeps the default still gets a file this program reads.
    enum class TCompressMode { Good, Fast, Auto };

    // Throws lzrw1::ELzrw1Exception when the coder's table cannot be had.
    explicit Tlzrw1(QObject *owner = nullptr);
    ~Tlzrw1() override;

    QString InputFile() const { return m_inputFile; }
    void setInputFile(const QString &path) { m_inputFile = path; }
    QString OutputFile() const { return m_outputFile; }
    void setOutputFile(const QString &path) { m_outputFile = path; }
    TCompressMode CompressMode() const { return m_mode; }
    void setCompressMode(TCompressMode mode) { m_mode = mode; }

    // Both return the number of bytes written to OutputFile and throw
    // lzrw1::ELzrw1Exception with the reason when they fail.
    qint64 Compress();
    qint64 Decompress();

private:
    QString m_inputFile;
    QString m_outputFile;
    TCompressMode m_mode = TCompressMode::Good;
    std::unique_ptr<lzrw1::BlockEncoder> m_encoder;
};

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

// The structured-storage (compound) container of plot documents: a root storage holding the
// "Contents" stream, and sub-storages ("Embedding 1", ...) holding embedded objects' bytes.
// Storage and stream names are at most 31 characters and contain none of / \ : !

// The name of the stream that holds the document record.
inline QString contentsStreamName()
{
    return QStringLiteral("Contents");
}

// Collects streams in memory and writes the whole container at once on commit(), to a
// temporary file beside the target that then replaces it by rename. Until commit() succeeds
// the target is not touched, so a save that fails half way (or a writer destroyed without
// commit) leaves the previous file as it was. Failures raise FileException with the path.
class CompoundFileWriter
{
public:
    // An empty path makes a writer whose container is only taken with toBytes().
    explicit CompoundFileWriter(QString path = {});
    ~CompoundFileWriter();
    CompoundFileWriter(const CompoundFileWriter&) = delete;
    CompoundFileWriter& operator=(const CompoundFileWriter&) = delete;

    const QString& path() const { return path_; }

    // Writing a stream a second time replaces its bytes. Storages on the way are created.
    void writeStream(const QString& name, const QByteArray& bytes);
    void writeStream(const QStringList& storagePath, const QString& name, const QByteArray& bytes);
    // Creates the storage (and those on the way) even if nothing is written into it.
    void addStorage(const QStringList& storagePath);

    // The container file's bytes as commit() would write them.
    QByteArray toBytes() const;
    // Writes the container to path(): FileException accessDenied (5) where the file or its
    // directory may not be written, badPath (3) where the directory does not exist,
    // diskFull (13) when the disk fills, generic (1) otherwise.
    void commit();

private:
    struct Node;
    Node& storage(const QStringList& storagePath);

    QString path_;
    std::unique_ptr<Node> root_;
};

// Reads a container held whole in memory (files are read completely when opened). Every
// fault of the container - not a compound file, truncated, broken allocation chains, a stream
// larger than the file - raises FileException invalidFile (6) rather than allocating.
class CompoundFileReader
{
public:
    // FileException fileNotFound (2), accessDenied (5; also for a directory), generic (1) if
    // the file cannot be read; invalidFile (6) if it is not a compound file or is too large.
    explicit CompoundFileReader(const QString& path);
    // The same over bytes in memory; fileName only names the source in exceptions.
    static CompoundFileReader fromBytes(const QByteArray& bytes, const QString& fileName = {});
    ~CompoundFileReader();
    CompoundFileReader(CompoundFileReader&&) noexcept;
    CompoundFileReader& operator=(CompoundFileReader&&) noexcept;

    const QString& fileName() const { return fileName_; }

    bool hasStream(const QString& name) const;
    bool hasStream(const QStringList& storagePath, const QString& name) const;
    // True for the root (empty path) and every sub-storage on the path.
    bool isStorage(const QStringList& storagePath) const;
    // Names of the streams and storages directly inside a storage, in directory order.
    // invalidFile if the storage does not exist.
    QStringList children(const QStringList& storagePath = {}) const;
    // invalidFile if the stream does not exist or cannot be read whole.
    QByteArray readStream(const QString& name) const;
    QByteArray readStream(const QStringList& storagePath, const QString& name) const;

    // A stream of a container cannot be larger than this (or than the container itself).
    static constexpr qint64 maxSize = qint64(1) << 30;

private:
    struct Impl;
    CompoundFileReader(QByteArray bytes, QString fileName);

    QString fileName_;
    std::unique_ptr<Impl> d_;
};

// Copies a storage with everything below it (streams and storages, empty ones too), as an
// embedded object's bytes are carried from one document file into another.
void copyStorage(const CompoundFileReader& from, const QStringList& fromPath,
                 CompoundFileWriter& to, const QStringList& toPath);

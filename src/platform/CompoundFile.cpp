// GIO, pulled in by libgsf, has a struct field named "signals", which Qt's keyword macro of
// the same name would rewrite.
#ifndef QT_NO_KEYWORDS
#define QT_NO_KEYWORDS
#endif

#include "platform/CompoundFile.h"

#include "platform/Exceptions.h"
#include "platform/OutputFile.h"

#include <QFile>

#include <gsf/gsf-infile-impl.h>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

struct GObjectUnref
{
    void operator()(gpointer object) const
    {
        if (object)
            g_object_unref(object);
    }
};
template <class T> using GPtr = std::unique_ptr<T, GObjectUnref>;

struct GErrorFree
{
    void operator()(GError* error) const { g_error_free(error); }
};

// Compound files name entries with at most 31 UTF-16 characters plus a terminator.
constexpr qsizetype maxNameLength = 31;
// A compound file is at least its 512-byte header.
constexpr qsizetype headerSize = 512;
constexpr size_t ioChunk = 64 * 1024;

void discardLog(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

void initGsf()
{
    static const bool done = [] {
        gsf_init();
        // The container reader describes every fault it meets on stderr; damaged files are
        // reported through exceptions instead, so those descriptions would be noise.
        g_log_set_handler(
            "libgsf:msole",
            GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_MESSAGE),
            discardLog, nullptr);
        return true;
    }();
    (void)done;
}

[[noreturn]] void raise(FileException::Cause cause, const QString& fileName, const QString& detail)
{
    throw FileException(cause, fileName, detail);
}

[[noreturn]] void raiseErrno(int error, bool reading, const QString& fileName, const char* what)
{
    raise(
        FileException::causeOfErrno(error, reading), fileName,
        QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(strerror(error))));
}

[[noreturn]] void raiseInvalid(const QString& fileName, const QString& detail)
{
    raise(FileException::Cause::invalidFile, fileName, detail);
}

QString joinPath(const QStringList& storagePath, const QString& name = {})
{
    QStringList parts = storagePath;
    if (!name.isEmpty())
        parts << name;
    return parts.isEmpty() ? QStringLiteral("(root)") : parts.join(QLatin1Char('/'));
}

// An open file descriptor, closed on every way out.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

QByteArray readWholeFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking so that a FIFO does not hang the open; regular files ignore the flag.
    Descriptor fd(::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        raiseErrno(errno, true, path, "open");
    struct stat st
    {};
    if (::fstat(fd.get(), &st) != 0)
        raiseErrno(errno, true, path, "stat");
    if (S_ISDIR(st.st_mode))
        raiseErrno(EISDIR, true, path, "open");
    if (!S_ISREG(st.st_mode))
        raiseInvalid(path, QStringLiteral("not a regular file"));
    if (st.st_size > CompoundFileReader::maxSize)
        raiseInvalid(path, QStringLiteral("file of %1 bytes is too large").arg(st.st_size));

    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const size_t want = std::min(ioChunk, size_t(bytes.size() - done));
        const ssize_t got = ::read(fd.get(), bytes.data() + done, want);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            raiseErrno(errno, true, path, "read");
        }
        if (got == 0)
            break; // shrank since fstat: what is there is judged as it is
        done += got;
    }
    bytes.truncate(done);
    return bytes;
}

void writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    OutputFile file(path);
    file.create();
    file.write(bytes);
    file.commit();
}

void checkName(const QString& name, const QString& fileName)
{
    static const QString forbidden = QStringLiteral("/\\:!");
    const bool bad =
        name.isEmpty() || name.size() > maxNameLength ||
        std::any_of(name.begin(), name.end(), [](QChar c) { return forbidden.contains(c); });
    if (bad)
        raise(FileException::Cause::generic, fileName,
              QStringLiteral("invalid storage or stream name \"%1\"").arg(name));
}

} // namespace

// ---------------------------------------------------------------------------------------------

struct CompoundFileWriter::Node
{
    std::map<QString, std::unique_ptr<Node>> storages;
    std::map<QString, QByteArray> streams;

    // Compound files compare names without regard to case: one name, one entry.
    bool usesOtherwise(const QString& name, bool asStorage) const
    {
        auto clashes = [&](const QString& existing, bool isStorage) {
            return existing.compare(name, Qt::CaseInsensitive) == 0 &&
                   (existing != name || isStorage != asStorage);
        };
        return std::any_of(storages.begin(), storages.end(),
                           [&](const auto& s) { return clashes(s.first, true); }) ||
               std::any_of(streams.begin(), streams.end(),
                           [&](const auto& s) { return clashes(s.first, false); });
    }
};

CompoundFileWriter::CompoundFileWriter(QString path)
    : path_(std::move(path)), root_(std::make_unique<Node>())
{}

CompoundFileWriter::~CompoundFileWriter() = default;

CompoundFileWriter::Node& CompoundFileWriter::storage(const QStringList& storagePath)
{
    Node* node = root_.get();
    for (const QString& name : storagePath) {
        checkName(name, path_);
        if (node->usesOtherwise(name, true))
            raise(FileException::Cause::generic, path_,
                  QStringLiteral("\"%1\" is already used by another entry").arg(name));
        std::unique_ptr<Node>& child = node->storages[name];
        if (!child)
            child = std::make_unique<Node>();
        node = child.get();
    }
    return *node;
}

void CompoundFileWriter::writeStream(const QString& name, const QByteArray& bytes)
{
    writeStream(QStringList(), name, bytes);
}

void CompoundFileWriter::writeStream(const QStringList& storagePath, const QString& name,
                                     const QByteArray& bytes)
{
    checkName(name, path_);
    Node& node = storage(storagePath);
    if (node.usesOtherwise(name, false))
        raise(FileException::Cause::generic, path_,
              QStringLiteral("\"%1\" is already used by another entry")
                  .arg(joinPath(storagePath, name)));
    node.streams[name] = bytes;
}

void CompoundFileWriter::addStorage(const QStringList& storagePath)
{
    storage(storagePath);
}

namespace {

[[noreturn]] void raiseOutput(GsfOutput* output, const QString& fileName, const QString& where)
{
    const GError* error = output ? gsf_output_error(output) : nullptr;
    raise(FileException::Cause::generic, fileName,
          QStringLiteral("%1: %2").arg(where, error ? QString::fromUtf8(error->message)
                                                    : QStringLiteral("write failed")));
}

template <class Node>
void writeNode(GsfOutfile* dir, const Node& node, const QStringList& at, const QString& fileName)
{
    for (const auto& [name, sub] : node.storages) {
        const QStringList path = at + QStringList{name};
        GPtr<GsfOutput> child(gsf_outfile_new_child(dir, name.toUtf8().constData(), TRUE));
        if (!child || !GSF_IS_OUTFILE(child.get()))
            raiseOutput(child.get(), fileName, joinPath(path));
        writeNode(GSF_OUTFILE(child.get()), *sub, path, fileName);
        if (!gsf_output_close(child.get()))
            raiseOutput(child.get(), fileName, joinPath(path));
    }
    for (const auto& [name, bytes] : node.streams) {
        GPtr<GsfOutput> child(gsf_outfile_new_child(dir, name.toUtf8().constData(), FALSE));
        if (!child)
            raiseOutput(nullptr, fileName, joinPath(at, name));
        const auto* data = reinterpret_cast<const guint8*>(bytes.constData());
        for (qsizetype done = 0; done < bytes.size();) {
            const size_t n = std::min(ioChunk, size_t(bytes.size() - done));
            if (!gsf_output_write(child.get(), n, data + done))
                raiseOutput(child.get(), fileName, joinPath(at, name));
            done += qsizetype(n);
        }
        if (!gsf_output_close(child.get()))
            raiseOutput(child.get(), fileName, joinPath(at, name));
    }
}

} // namespace

QByteArray CompoundFileWriter::toBytes() const
{
    initGsf();
    GPtr<GsfOutput> sink(gsf_output_memory_new());
    GPtr<GsfOutfile> root(gsf_outfile_msole_new(sink.get()));
    if (!sink || !root)
        raiseOutput(sink.get(), path_, QStringLiteral("container"));
    writeNode(root.get(), *root_, {}, path_);
    const bool closed = gsf_output_close(GSF_OUTPUT(root.get()));
    // Closing the container closes the memory sink too; closing that again would fail.
    if (!closed || (!gsf_output_is_closed(sink.get()) && !gsf_output_close(sink.get())))
        raiseOutput(closed ? sink.get() : GSF_OUTPUT(root.get()), path_,
                    QStringLiteral("container"));
    const gsf_off_t size = gsf_output_size(sink.get());
    const guint8* data = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()));
    if (size < 0 || (size > 0 && !data))
        raiseOutput(sink.get(), path_, QStringLiteral("container"));
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

void CompoundFileWriter::commit()
{
    if (path_.isEmpty())
        raise(FileException::Cause::badPath, path_, QStringLiteral("no file name to save to"));
    writeFileAtomically(path_, toBytes());
}

// ---------------------------------------------------------------------------------------------

struct CompoundFileReader::Impl
{
    QByteArray bytes; // the whole container; the gsf input reads from it in place
    GPtr<GsfInput> input;
    GPtr<GsfInfile> root;

    // The entry of that name in the storage, or null where there is none or it cannot be
    // opened. Names compare without regard to case, as they do in compound files, an exact
    // match first.
    static GPtr<GsfInput> openChild(GsfInfile* dir, const QString& name)
    {
        const QByteArray utf8 = name.toUtf8();
        const int count = gsf_infile_num_children(dir);
        int found = -1;
        for (int i = 0; i < count && found < 0; ++i) {
            const char* entry = gsf_infile_name_by_index(dir, i);
            if (entry && utf8 == entry)
                found = i;
        }
        for (int i = 0; i < count && found < 0; ++i) {
            const char* entry = gsf_infile_name_by_index(dir, i);
            if (entry && QString::fromUtf8(entry).compare(name, Qt::CaseInsensitive) == 0)
                found = i;
        }
        if (found < 0)
            return nullptr;
        // Called through the class, as gsf_infile_child_by_index() would, but keeping the
        // error to ourselves rather than printing it.
        auto* klass = G_TYPE_INSTANCE_GET_CLASS(dir, GSF_INFILE_TYPE, GsfInfileClass);
        GError* rawError = nullptr;
        GPtr<GsfInput> child(klass->child_by_index(dir, found, &rawError));
        std::unique_ptr<GError, GErrorFree> error(rawError);
        return error ? nullptr : std::move(child);
    }

    static bool isDirectory(GsfInput* entry)
    {
        return GSF_IS_INFILE(entry) && gsf_infile_num_children(GSF_INFILE(entry)) >= 0;
    }

    // The storage at the path, or null where there is none.
    GPtr<GsfInfile> openStorage(const QStringList& storagePath) const
    {
        GPtr<GsfInfile> dir(GSF_INFILE(g_object_ref(root.get())));
        for (const QString& name : storagePath) {
            GPtr<GsfInput> child = openChild(dir.get(), name);
            if (!child || !isDirectory(child.get()))
                return nullptr;
            dir.reset(GSF_INFILE(child.release()));
        }
        return dir;
    }

    // The stream of that name in the storage, or null where there is none.
    GPtr<GsfInput> openStream(const QStringList& storagePath, const QString& name) const
    {
        GPtr<GsfInfile> dir = openStorage(storagePath);
        if (!dir)
            return nullptr;
        GPtr<GsfInput> child = openChild(dir.get(), name);
        if (child && isDirectory(child.get()))
            return nullptr;
        return child;
    }
};

CompoundFileReader::CompoundFileReader(const QString& path)
    : CompoundFileReader(readWholeFile(path), path)
{}

CompoundFileReader CompoundFileReader::fromBytes(const QByteArray& bytes, const QString& fileName)
{
    if (bytes.size() > maxSize)
        raiseInvalid(fileName, QStringLiteral("container too large"));
    return CompoundFileReader(bytes, fileName);
}

CompoundFileReader::CompoundFileReader(QByteArray bytes, QString fileName)
    : fileName_(std::move(fileName)), d_(std::make_unique<Impl>())
{
    static const char signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    if (bytes.size() < headerSize || !bytes.startsWith(QByteArray::fromRawData(signature, 8)))
        raiseInvalid(fileName_, QStringLiteral("not a compound file"));
    initGsf();
    d_->bytes = std::move(bytes);
    d_->input.reset(gsf_input_memory_new(reinterpret_cast<const guint8*>(d_->bytes.constData()),
                                         gsf_off_t(d_->bytes.size()), FALSE));
    if (!d_->input)
        raiseInvalid(fileName_, QStringLiteral("not a compound file"));
    GError* rawError = nullptr;
    d_->root.reset(gsf_infile_msole_new(d_->input.get(), &rawError));
    std::unique_ptr<GError, GErrorFree> error(rawError);
    if (!d_->root)
        raiseInvalid(fileName_, error ? QString::fromUtf8(error->message)
                                      : QStringLiteral("not a compound file"));
}

CompoundFileReader::~CompoundFileReader() = default;
CompoundFileReader::CompoundFileReader(CompoundFileReader&&) noexcept = default;
CompoundFileReader& CompoundFileReader::operator=(CompoundFileReader&&) noexcept = default;

bool CompoundFileReader::hasStream(const QString& name) const
{
    return hasStream(QStringList(), name);
}

bool CompoundFileReader::hasStream(const QStringList& storagePath, const QString& name) const
{
    return d_->openStream(storagePath, name) != nullptr;
}

bool CompoundFileReader::isStorage(const QStringList& storagePath) const
{
    return d_->openStorage(storagePath) != nullptr;
}

QStringList CompoundFileReader::children(const QStringList& storagePath) const
{
    GPtr<GsfInfile> dir = d_->openStorage(storagePath);
    if (!dir)
        raiseInvalid(fileName_, QStringLiteral("no storage %1").arg(joinPath(storagePath)));
    QStringList names;
    const int count = gsf_infile_num_children(dir.get());
    for (int i = 0; i < count; ++i) {
        if (const char* name = gsf_infile_name_by_index(dir.get(), i))
            names << QString::fromUtf8(name);
    }
    return names;
}

QByteArray CompoundFileReader::readStream(const QString& name) const
{
    return readStream(QStringList(), name);
}

QByteArray CompoundFileReader::readStream(const QStringList& storagePath, const QString& name) const
{
    GPtr<GsfInput> stream = d_->openStream(storagePath, name);
    if (!stream)
        raiseInvalid(fileName_, QStringLiteral("no stream %1").arg(joinPath(storagePath, name)));
    // A stream's blocks lie inside the container, so no genuine stream is larger than it.
    const gsf_off_t size = gsf_input_size(stream.get());
    if (size < 0 || size > d_->bytes.size() || size > maxSize)
        raiseInvalid(fileName_, QStringLiteral("stream %1 claims %2 bytes")
                                    .arg(joinPath(storagePath, name))
                                    .arg(qint64(size)));
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    for (qsizetype done = 0; done < bytes.size();) {
        const size_t n = std::min(ioChunk, size_t(bytes.size() - done));
        if (!gsf_input_read(stream.get(), n, reinterpret_cast<guint8*>(bytes.data() + done)))
            raiseInvalid(fileName_, QStringLiteral("stream %1 ends early at %2 bytes")
                                        .arg(joinPath(storagePath, name))
                                        .arg(done));
        done += qsizetype(n);
    }
    return bytes;
}

void copyStorage(const CompoundFileReader& from, const QStringList& fromPath,
                 CompoundFileWriter& to, const QStringList& toPath)
{
    to.addStorage(toPath);
    for (const QString& name : from.children(fromPath)) {
        const QStringList fromChild = fromPath + QStringList{name};
        if (from.isStorage(fromChild))
            copyStorage(from, fromChild, to, toPath + QStringList{name});
        else
            to.writeStream(toPath, name, from.readStream(fromPath, name));
    }
}

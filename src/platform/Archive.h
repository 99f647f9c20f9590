#pragma once

#include "platform/Exceptions.h"
#include "platform/Persistent.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class DocumentServices;

// The serialization archive: typed little-endian values, length-prefixed strings, counts and
// tagged object references with one shared class/object index counter. A storing archive
// collects bytes in memory; a loading archive reads from a byte block held in memory, so every
// length or count read from it can be checked against the bytes left before anything is
// allocated. Every malformed input ends in an ArchiveException.
class Archive
{
public:
    enum class Mode { store, load };

    Archive();                          // storing
    explicit Archive(QByteArray bytes); // loading
    // A loading archive deletes the objects it created that nobody claimed (see claim()),
    // so a load that fails half way leaks nothing.
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    bool isStoring() const { return mode_ == Mode::store; }
    bool isLoading() const { return mode_ == Mode::load; }

    // The document whose objects are written or read (not owned; may be null).
    DocumentServices* document() const { return document_; }
    void setDocument(DocumentServices* doc) { document_ = doc; }

    // Storing: the bytes written so far.
    const QByteArray& data() const { return out_; }
    // Loading: bytes not yet read.
    size_t bytesLeft() const { return in_.size() - size_t(pos_); }

    void writeByte(uint8_t v);
    void writeWord(uint16_t v);
    void writeInt(int32_t v); // int and long are both 4 bytes in the file
    void writeLong(int32_t v);
    void writeDword(uint32_t v);
    void writeFloat(float v);
    void writeDouble(double v);

    uint8_t readByte();
    uint16_t readWord();
    int32_t readInt();
    int32_t readLong();
    uint32_t readDword();
    float readFloat();
    double readDouble();

    // Raw blocks: written as they are; a read returns how many bytes were available (never
    // raises), the rest of the buffer is left untouched.
    void write(const void* data, size_t n);
    size_t read(void* data, size_t n);

    // Archive strings of 8-bit characters. QString text is written as UTF-8; on reading,
    // bytes that are not valid UTF-8 are taken as Latin-1 (files written on other systems).
    // A stored string of 16-bit characters reads as its text, or as UTF-8 bytes from
    // readRawString().
    void writeString(const QString& s);
    QString readString();
    void writeRawString(const QByteArray& bytes);
    QByteArray readRawString();

    // Element counts of lists and maps. readCount checks that count elements of at least
    // minBytesPerElement bytes each fit in the bytes left (0 is taken as 1), so a hostile count
    // ends in end-of-file before anything is allocated or looped over.
    void writeCount(uint32_t count);
    uint32_t readCount(size_t minBytesPerElement);

    // Object references. Writing an object already written writes only its index. An object
    // whose class could not be read back (no factory, a name of 64 characters or more) raises
    // bad-class instead of making a file that cannot be opened.
    void writeObject(const Persistent* obj);
    // Reads a reference (null allowed) to an object of `expected` or a derived class. The
    // archive creates objects at their first mention and keeps them until claimed.
    Persistent* readObject(const RuntimeClass* expected);
    template <class T> T* readObject() { return static_cast<T*>(readObject(&T::classRecord)); }

    // Ownership: the object now belongs to a structure built from this archive (a list that
    // owns its elements, an object holding a sub-object). Claiming an object twice, or an
    // object whose record is still being read, raises a bad-index error, so a hostile file
    // cannot make two owners of one object; so does an object this archive did not create or
    // has released. A claimed object must stay alive while the archive reads: later references
    // to it return the same pointer.
    void claim(Persistent* obj);
    template <class T> std::unique_ptr<T> readOwnedObject()
    {
        T* obj = readObject<T>();
        if (obj)
            claim(obj);
        return std::unique_ptr<T>(obj);
    }
    // Loading: objects created and not claimed, still the archive's to delete.
    std::vector<Persistent*> unclaimed() const;
    // Loading: objects created and not claimed, handed to the caller (the archive forgets them).
    std::vector<Persistent*> releaseUnclaimed();

    // While a versionable object reads its record: the schema stored in the file (once; then
    // 0xFFFFFFFF). Reading a sub-object first does not disturb it.
    uint32_t objectSchema();

    // Storages that travel beside the record (the sub-storages of a document file), each a set of
    // named streams. Only an archive that carries them takes any: objects whose bytes do not fit
    // a record ask carriesSideStorages() and otherwise write their bytes into the record itself.
    using Streams = QMap<QString, QByteArray>;
    bool carriesSideStorages() const { return carriesSideStorages_; }
    void setCarriesSideStorages(bool carries) { carriesSideStorages_ = carries; }
    // Storing: adds a storage named prefix + " " + the next number not yet used ("Embedding 1");
    // returns that number.
    uint32_t addSideStorage(const QString& prefix, Streams streams);
    // Loading: the storages of the file, handed over before the record is read.
    void setSideStorage(const QString& name, Streams streams) { side_.insert(name, streams); }
    // The storage of that name, or null.
    const Streams* sideStorage(const QString& name) const;
    const QMap<QString, Streams>& sideStorages() const { return side_; }

    // The schema word of the first embedded-object record met, which every later one of the
    // same document follows; noEmbeddedVersion until then. An archive serves one save or load.
    static constexpr uint16_t noEmbeddedVersion = 0xFFFF;
    uint16_t embeddedVersion() const { return embeddedVersion_; }
    void setEmbeddedVersion(uint16_t version) { embeddedVersion_ = version; }

    static constexpr uint32_t maxMapCount = 0x3FFFFFFE;
    // The longest class name accepted; 64 characters or more are refused.
    static constexpr size_t maxClassNameLength = 63;

private:
    void need(size_t n); // raises end-of-file unless n bytes are left
    void requireStoring() const;
    void putIndexTag(uint32_t index, uint16_t wordFlag, uint32_t dwordFlag);
    uint32_t nextIndex();
    template <class T> T readValue();
    template <class T> void writeValue(T v);
    // The bytes of a stored string: 8-bit characters, or UTF-16LE when `wide` comes back true.
    QByteArray readStringBytes(bool& wide);
    const RuntimeClass* readNewClass(uint16_t& storedSchema);
    Persistent* createAndRead(const RuntimeClass* cls, uint16_t storedSchema);

    Mode mode_;
    DocumentServices* document_ = nullptr;
    QByteArray out_;
    QByteArray in_;
    qsizetype pos_ = 0;

    // One counter for classes and objects; index 0 is null.
    uint32_t mapCount_ = 1;
    std::unordered_map<const void*, uint32_t> storeMap_; // object or class record -> index
    struct LoadEntry
    {
        const RuntimeClass* cls = nullptr; // set for class entries
        Persistent* obj = nullptr;         // set for object entries
        uint16_t schema = 0;               // class entries: the schema word stored in the file
    };
    std::vector<LoadEntry> loadMap_;   // index -> entry; [0] is null
    std::vector<Persistent*> created_; // in creation order; deleted unless claimed or released
    std::unordered_set<const Persistent*> createdSet_;
    std::unordered_set<Persistent*> claimed_;
    std::unordered_set<Persistent*> inProgress_;
    uint32_t objectSchema_ = 0xFFFFFFFFu;
    bool carriesSideStorages_ = false;
    QMap<QString, Streams> side_;
    uint16_t embeddedVersion_ = noEmbeddedVersion;
};

#include "platform/Archive.h"

#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace {
constexpr uint16_t nullTag = 0x0000;
constexpr uint16_t newClassTag = 0xFFFF;
constexpr uint16_t classTag = 0x8000;
constexpr uint16_t bigObjectTag = 0x7FFF;
constexpr uint32_t bigClassTag = 0x80000000u;

constexpr uint8_t stringByteEscape = 0xFF;
constexpr uint16_t stringWideMarker = 0xFFFE;
constexpr uint16_t stringWordEscape = 0xFFFF;
constexpr uint16_t countWordEscape = 0xFFFF;

[[noreturn]] void raise(ArchiveException::Cause cause, const QString& detail)
{
    throw ArchiveException(cause, detail);
}
} // namespace

Archive::Archive() : mode_(Mode::store) {}

Archive::Archive(QByteArray bytes) : mode_(Mode::load), in_(std::move(bytes))
{
    loadMap_.emplace_back(); // index 0 is the null reference
}

Archive::~Archive()
{
    // Later objects are usually parts of earlier ones; going backwards keeps destructors from
    // meeting parts that are already gone.
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
        if (!claimed_.contains(*it))
            delete *it;
    }
}

void Archive::need(size_t n)
{
    if (!isLoading())
        raise(ArchiveException::Cause::writeOnly, QStringLiteral("read from a storing archive"));
    if (n > bytesLeft())
        raise(ArchiveException::Cause::endOfFile,
              QStringLiteral("%1 bytes wanted, %2 left").arg(n).arg(bytesLeft()));
}

void Archive::requireStoring() const
{
    if (!isStoring())
        raise(ArchiveException::Cause::readOnly, QStringLiteral("write to a loading archive"));
}

template <class T> T Archive::readValue()
{
    need(sizeof(T));
    const T v = qFromLittleEndian<T>(in_.constData() + pos_);
    pos_ += qsizetype(sizeof(T));
    return v;
}

template <class T> void Archive::writeValue(T v)
{
    requireStoring();
    char bytes[sizeof(T)];
    qToLittleEndian<T>(v, bytes);
    out_.append(bytes, qsizetype(sizeof(T)));
}

void Archive::writeByte(uint8_t v)
{
    writeValue(v);
}
void Archive::writeWord(uint16_t v)
{
    writeValue(v);
}
void Archive::writeInt(int32_t v)
{
    writeValue(v);
}
void Archive::writeLong(int32_t v)
{
    writeValue(v);
}
void Archive::writeDword(uint32_t v)
{
    writeValue(v);
}
void Archive::writeFloat(float v)
{
    writeValue(std::bit_cast<uint32_t>(v));
}
void Archive::writeDouble(double v)
{
    writeValue(std::bit_cast<uint64_t>(v));
}

uint8_t Archive::readByte()
{
    return readValue<uint8_t>();
}
uint16_t Archive::readWord()
{
    return readValue<uint16_t>();
}
int32_t Archive::readInt()
{
    return readValue<int32_t>();
}
int32_t Archive::readLong()
{
    return readValue<int32_t>();
}
uint32_t Archive::readDword()
{
    return readValue<uint32_t>();
}
float Archive::readFloat()
{
    return std::bit_cast<float>(readValue<uint32_t>());
}
double Archive::readDouble()
{
    return std::bit_cast<double>(readValue<uint64_t>());
}

void Archive::write(const void* data, size_t n)
{
    requireStoring();
    if (n > 0)
        out_.append(static_cast<const char*>(data), qsizetype(n));
}

size_t Archive::read(void* data, size_t n)
{
    const size_t got = isLoading() ? std::min(n, bytesLeft()) : 0;
    if (got > 0) {
        std::memcpy(data, in_.constData() + pos_, got);
        pos_ += qsizetype(got);
    }
    return got;
}

void Archive::writeRawString(const QByteArray& bytes)
{
    requireStoring();
    const auto length = uint64_t(bytes.size());
    if (length > 0xFFFFFFFFu)
        raise(ArchiveException::Cause::generic, QStringLiteral("string too long for the archive"));
    if (length < stringByteEscape) {
        writeByte(uint8_t(length));
    } else {
        writeByte(stringByteEscape);
        // 0xFFFE is kept free: on reading it marks a string of 16-bit characters.
        if (length < stringWideMarker) {
            writeWord(uint16_t(length));
        } else {
            writeWord(stringWordEscape);
            writeDword(uint32_t(length));
        }
    }
    write(bytes.constData(), size_t(length));
}

void Archive::writeString(const QString& s)
{
    writeRawString(s.toUtf8());
}

QByteArray Archive::readStringBytes(bool& wide)
{
    wide = false;
    uint32_t length = readByte();
    if (length == stringByteEscape) {
        length = readWord();
        if (length == stringWideMarker) {
            wide = true;
            length = readByte();
            if (length == stringByteEscape)
                length = readWord();
        }
        if (length == stringWordEscape)
            length = readDword();
    }
    const size_t size = size_t(length) * (wide ? 2 : 1);
    need(size);
    QByteArray bytes(in_.constData() + pos_, qsizetype(size));
    pos_ += qsizetype(size);
    return bytes;
}

QByteArray Archive::readRawString()
{
    bool wide = false;
    QByteArray bytes = readStringBytes(wide);
    if (!wide)
        return bytes;
    QString text(bytes.size() / 2, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(bytes.constData(), text.size(), text.data());
    return text.toUtf8();
}

QString Archive::readString()
{
    bool wide = false;
    const QByteArray bytes = readStringBytes(wide);
    if (wide) {
        QString text(bytes.size() / 2, Qt::Uninitialized);
        qFromLittleEndian<char16_t>(bytes.constData(), text.size(), text.data());
        return text;
    }
    return bytes.isValidUtf8() ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

void Archive::writeCount(uint32_t count)
{
    if (count < countWordEscape) {
        writeWord(uint16_t(count));
    } else {
        writeWord(countWordEscape);
        writeDword(count);
    }
}

uint32_t Archive::readCount(size_t minBytesPerElement)
{
    uint32_t count = readWord();
    if (count == countWordEscape)
        count = readDword();
    // Every element takes at least one byte, so even a caller passing 0 cannot be made to loop
    // billions of times by a count the file cannot back.
    const uint64_t needed = uint64_t(count) * std::max<uint64_t>(minBytesPerElement, 1);
    if (needed > bytesLeft())
        raise(ArchiveException::Cause::endOfFile,
              QStringLiteral("count %1 does not fit in %2 bytes").arg(count).arg(bytesLeft()));
    return count;
}

uint32_t Archive::nextIndex()
{
    if (mapCount_ >= maxMapCount)
        raise(ArchiveException::Cause::badIndex, QStringLiteral("too many objects in one archive"));
    return mapCount_++;
}

void Archive::putIndexTag(uint32_t index, uint16_t wordFlag, uint32_t dwordFlag)
{
    if (index < bigObjectTag) {
        writeWord(uint16_t(wordFlag | index));
    } else {
        writeWord(bigObjectTag);
        writeDword(dwordFlag | index);
    }
}

void Archive::writeObject(const Persistent* obj)
{
    requireStoring();
    if (!obj) {
        writeWord(nullTag);
        return;
    }
    if (auto it = storeMap_.find(obj); it != storeMap_.end()) {
        putIndexTag(it->second, 0, 0);
        return;
    }

    const RuntimeClass* cls = obj->runtimeClass();
    const size_t nameLength = std::char_traits<char>::length(cls->name);
    // Refuse to write what could never be read back, rather than report a save that worked.
    if (!cls->factory || nameLength > maxClassNameLength)
        raise(ArchiveException::Cause::badClass,
              QStringLiteral("class %1 cannot be stored").arg(QLatin1StringView(cls->name)));

    if (auto it = storeMap_.find(cls); it != storeMap_.end()) {
        putIndexTag(it->second, classTag, bigClassTag);
    } else {
        storeMap_[cls] = nextIndex();
        writeWord(newClassTag);
        writeWord(cls->schemaWord());
        writeWord(uint16_t(nameLength));
        write(cls->name, nameLength);
    }
    // The object has its index before its record is written, so the record may refer to it.
    storeMap_[obj] = nextIndex();
    const_cast<Persistent*>(obj)->Serialize(*this);
}

const RuntimeClass* Archive::readNewClass(uint16_t& storedSchema)
{
    storedSchema = readWord();
    const uint16_t nameLength = readWord();
    if (nameLength > maxClassNameLength)
        raise(ArchiveException::Cause::badClass,
              QStringLiteral("class name of %1 characters").arg(nameLength));
    need(nameLength);
    const std::string_view name(in_.constData() + pos_, nameLength);
    pos_ += nameLength;

    const RuntimeClass* cls = RuntimeClass::find(name);
    if (!cls || !cls->factory)
        raise(ArchiveException::Cause::badClass,
              QStringLiteral("unknown class %1")
                  .arg(QString::fromLatin1(name.data(), qsizetype(name.size()))));
    if (storedSchema != cls->schemaWord() && !cls->isVersionable())
        raise(ArchiveException::Cause::badSchema, QStringLiteral("class %1 stored with schema %2")
                                                      .arg(QLatin1StringView(cls->name))
                                                      .arg(storedSchema));
    const uint32_t index = nextIndex();
    Q_ASSERT(index == loadMap_.size());
    loadMap_.push_back(LoadEntry{cls, nullptr, storedSchema});
    return cls;
}

Persistent* Archive::createAndRead(const RuntimeClass* cls, uint16_t storedSchema)
{
    const uint32_t index = nextIndex();
    Q_ASSERT(index == loadMap_.size());
    Persistent* obj = nullptr;
    {
        std::unique_ptr<Persistent> made(cls->factory());
        created_.push_back(made.get());
        obj = made.release();
    }
    createdSet_.insert(obj);
    loadMap_.push_back(LoadEntry{nullptr, obj, 0});

    // While the record is read the object may be referred to but not claimed; the schema word
    // belongs to this object only, so an enclosing object's is restored afterwards.
    struct Reading
    {
        Archive& ar;
        Persistent* obj;
        uint32_t savedSchema;
        ~Reading()
        {
            ar.inProgress_.erase(obj);
            ar.objectSchema_ = savedSchema;
        }
    };
    inProgress_.insert(obj);
    Reading reading{*this, obj, objectSchema_};
    objectSchema_ = storedSchema;
    obj->Serialize(*this);
    return obj;
}

Persistent* Archive::readObject(const RuntimeClass* expected)
{
    need(0);
    const uint16_t tag = readWord();
    uint32_t obTag = 0;
    if (tag == bigObjectTag)
        obTag = readDword();
    else
        obTag = (uint32_t(tag & classTag) << 16) | uint32_t(tag & ~classTag);

    if (!(obTag & bigClassTag)) {
        if (obTag == nullTag)
            return nullptr;
        if (obTag >= loadMap_.size() || !loadMap_[obTag].obj)
            raise(ArchiveException::Cause::badIndex, QStringLiteral("no object %1").arg(obTag));
        Persistent* obj = loadMap_[obTag].obj;
        if (expected && !obj->isKindOf(expected))
            raise(ArchiveException::Cause::badClass,
                  QStringLiteral("object %1 is a %2, not a %3")
                      .arg(obTag)
                      .arg(QLatin1StringView(obj->runtimeClass()->name),
                           QLatin1StringView(expected->name)));
        return obj;
    }

    const RuntimeClass* cls = nullptr;
    uint16_t storedSchema = 0;
    if (tag == newClassTag) {
        cls = readNewClass(storedSchema);
    } else {
        const uint32_t classIndex = obTag & ~bigClassTag;
        if (classIndex >= loadMap_.size() || !loadMap_[classIndex].cls)
            raise(ArchiveException::Cause::badIndex, QStringLiteral("no class %1").arg(classIndex));
        cls = loadMap_[classIndex].cls;
        storedSchema = loadMap_[classIndex].schema;
    }
    if (expected && !cls->isDerivedFrom(expected))
        raise(ArchiveException::Cause::badClass,
              QStringLiteral("a %1 where a %2 belongs")
                  .arg(QLatin1StringView(cls->name), QLatin1StringView(expected->name)));
    return createAndRead(cls, storedSchema);
}

void Archive::claim(Persistent* obj)
{
    if (!obj)
        return;
    if (!createdSet_.contains(obj) || claimed_.contains(obj) || inProgress_.contains(obj))
        raise(ArchiveException::Cause::badIndex,
              QStringLiteral("object of class %1 cannot be owned here")
                  .arg(QLatin1StringView(obj->runtimeClass()->name)));
    claimed_.insert(obj);
}

std::vector<Persistent*> Archive::unclaimed() const
{
    std::vector<Persistent*> objects;
    objects.reserve(created_.size());
    for (Persistent* obj : created_) {
        if (!claimed_.contains(obj))
            objects.push_back(obj);
    }
    return objects;
}

std::vector<Persistent*> Archive::releaseUnclaimed()
{
    std::vector<Persistent*> objects = unclaimed();
    created_.clear();
    createdSet_.clear();
    return objects;
}

uint32_t Archive::objectSchema()
{
    return std::exchange(objectSchema_, 0xFFFFFFFFu);
}

uint32_t Archive::addSideStorage(const QString& prefix, Streams streams)
{
    requireStoring();
    uint32_t number = uint32_t(side_.size()) + 1;
    while (side_.contains(prefix + QLatin1Char(' ') + QString::number(number)))
        ++number;
    side_.insert(prefix + QLatin1Char(' ') + QString::number(number), std::move(streams));
    return number;
}

const Archive::Streams* Archive::sideStorage(const QString& name) const
{
    const auto it = side_.constFind(name);
    return it == side_.constEnd() ? nullptr : &it.value();
}
